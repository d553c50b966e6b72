#!/usr/bin/env bash
# Every test: installs what is missing, builds, then runs the unit tests,
# the asset checks and the end-to-end tests under Wine through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# The Wine prefix that the end-to-end tests copy needs nothing built: it is
# made during the build, which leaves a core idle much of the time. (CTest's
# fixture makes it if this fails, and says why.)
mkdir -p build
python3 tests/e2e/harness.py template >build/e2e-template.log 2>&1 &
template=$!
# The reproducible unsigned build: the release test signs a copy of its own.
SIGN_PFX= bash scripts/build.sh
wait $template || cat build/e2e-template.log
cd build/native
# One test more than there are cores: an end-to-end test mostly waits for
# Wine, its ticks and its screen (about 40% of a core each, measured); two
# more kept the cores so busy that the whole took longer (measured). The
# fuzz targets' build takes two places; the release test builds at the
# lowest priority, on what the others leave.
ctest --output-on-failure -j"$(($(nproc) + 1))" "$@"
