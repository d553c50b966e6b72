#!/usr/bin/env bash
# Builds both halves: the portable core with its tests (native) and
# Salvanto2002.scr with the Win32 test tools and its installer (mingw-w64,
# wixl), and the release zip.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
cmake --preset native >/dev/null
cmake --build build/native -j"$jobs"
cmake --preset windows >/dev/null
cmake --build build/windows -j"$jobs"
# The release zip, which the end-to-end tests install as a user would.
(cd build/windows && cpack >/dev/null)
