#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for FUZZ_SECONDS (default 60).
# Crashers found are kept under tests/fuzz/corpus/<target>/ as regression
# inputs; every run replays them first.
#   bash scripts/fuzz.sh            # the short run of the test command
#   FUZZ_SECONDS=3600 bash scripts/fuzz.sh   # a long run
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${FUZZ_SECONDS:-60}
bash scripts/deps.sh clang libclang-rt-14-dev
cmake -S . -B build/fuzz -DSALVANTO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j"$(nproc)"
status=0
for target in build/fuzz/tests/fuzz/fuzz_*; do
  [[ -x $target ]] || continue
  name=$(basename "$target")
  seeds=$root/tests/fuzz/corpus/$name
  work=$root/build/fuzz/work/$name
  mkdir -p "$seeds" "$work"
  echo "== $name: ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
       -artifact_prefix="$seeds/crash-" -print_final_stats=0 "$work" "$seeds" >"$work.log" 2>&1; then
    echo "$name FAILED: see $work.log; the input is under $seeds/"
    tail -30 "$work.log"
    status=1
  else
    grep -E "^#[0-9]+.*DONE|Done [0-9]+ runs" "$work.log" | tail -1 || true
  fi
done
exit $status
