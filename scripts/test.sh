#!/usr/bin/env bash
# Every test: installs what is missing, builds, then runs the unit tests,
# the asset checks and the end-to-end tests under Wine through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
cd build/native
ctest --output-on-failure -j"$(nproc)" "$@"
