#!/usr/bin/env bash
# Builds both halves: the portable core with its tests (native) and
# Salvanto2002.scr with the Win32 test tools and its installer (mingw-w64,
# wixl), and the release zip; then prints the release's SHA-256s. Two builds
# of one commit give the same bytes, wherever they run.
#   bash scripts/build.sh             the build
#   SIGN_PFX=org.pfx SIGN_PASSWORD=... [SIGN_TIMESTAMP_URL=http://...] bash scripts/build.sh
#                                     the same, the release signed with that certificate
#   bash scripts/build.sh --verify    the release built from two clean clones of the
#                                     commit in two folders, their bytes compared
set -euo pipefail
pfx=
[[ -z ${SIGN_PFX:-} ]] || pfx=$(realpath "$SIGN_PFX")
cd "$(dirname "$0")/.."
jobs=$(nproc)
version=$(sed -n 's/^project(Salvanto2002 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
release=(Salvanto2002.scr SaverSetup.dll "Salvanto2002-$version-win64.msi" "Salvanto2002-$version-win64.zip")

# The release alone (no test tools) from the sources in $1, unsigned.
build_release() {
  (cd "$1" && cmake --preset windows -DSALVANTO_SIGN_PFX= >/dev/null &&
    cmake --build build/windows -j"$jobs" --target Salvanto2002 installer >/dev/null &&
    cd build/windows && cpack >/dev/null)
}

if [[ ${1:-} == --verify ]]; then
  commit=$(git rev-parse HEAD)
  [[ -z $(git status --porcelain) ]] || echo "Uncommitted changes are left out: both builds are of $commit."
  verify=build/verify
  rm -rf "$verify"
  for side in first second-clone; do
    git clone -q --no-checkout . "$verify/$side"
    git -C "$verify/$side" checkout -q --detach "$commit"
    echo "Building the release in $verify/$side ..."
    build_release "$verify/$side"
    (cd "$verify/$side/build/windows" && sha256sum "${release[@]}") >"$verify/$side.sha256"
  done
  cat "$verify/first.sha256"
  if cmp -s "$verify/first.sha256" "$verify/second-clone.sha256"; then
    echo "Byte-identical: two clean builds of $commit in two folders."
    exit 0
  fi
  diff "$verify/first.sha256" "$verify/second-clone.sha256" >&2 || true
  echo "NOT byte-identical: the two builds above differ." >&2
  exit 1
fi

cmake --preset native >/dev/null
if [[ -n $pfx ]]; then
  echo "Signing the release with $pfx (osslsigncode, SHA-256)."
else
  echo "Not signed: no SIGN_PFX given, so the release is the reproducible unsigned one."
fi
cmake --preset windows -DSALVANTO_SIGN_PFX="$pfx" >/dev/null
# Both builds at once: each is a few long compiles, which alone would leave
# cores idle. The native one's output follows the Windows one's.
cmake --build build/native -j"$jobs" >build/native.log 2>&1 &
native=$!
cmake --build build/windows -j"$jobs"
status=0
wait $native || status=$?
cat build/native.log
((status == 0)) || { echo "The native build failed." >&2; exit $status; }
# The release zip, which the end-to-end tests install as a user would.
(cd build/windows && cpack >/dev/null)
echo "SHA-256 of the release (build/windows):"
(cd build/windows && sha256sum "${release[@]}")
