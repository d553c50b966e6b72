#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan) and runs them for
# FUZZ_SECONDS each (default 60). Crashers are kept under
# tests/fuzz/corpus/<target>/ as regression inputs; every run replays them.
#   bash scripts/fuzz.sh                       build, then run every target
#   FUZZ_SECONDS=3600 bash scripts/fuzz.sh     the long run
#   bash scripts/fuzz.sh --build               build only
#   bash scripts/fuzz.sh --no-build fuzz_caption   run one target, already built
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${FUZZ_SECONDS:-60}
build=1 run=1
case "${1:-}" in
  --build) run=0; shift ;;
  --no-build) build=0; shift ;;
esac

if ((build)); then
  bash scripts/deps.sh clang libclang-rt-14-dev
  cmake -S . -B build/fuzz -DSALVANTO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build/fuzz -j"$(nproc)" >/dev/null
fi
((run)) || exit 0

targets=("$@")
if ((${#targets[@]} == 0)); then
  for binary in build/fuzz/tests/fuzz/fuzz_*; do [[ -x $binary ]] && targets+=("$(basename "$binary")"); done
fi
status=0
for name in "${targets[@]}"; do
  seeds=$root/tests/fuzz/corpus/$name
  work=$root/build/fuzz/work/$name
  mkdir -p "$seeds" "$work"
  echo "== $name: ${seconds}s"
  if ! "build/fuzz/tests/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
       -artifact_prefix="$seeds/crash-" "$work" "$seeds" >"$work.log" 2>&1; then
    echo "$name FAILED; the input is kept under $seeds/"
    tail -40 "$work.log"
    status=1
  else
    grep -E "Done [0-9]+ runs" "$work.log" | tail -1 || true
  fi
done
exit $status
