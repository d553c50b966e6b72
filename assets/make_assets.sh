#!/usr/bin/env bash
# Rebuilds the screen saver's design-time pictures in this folder:
#   Salvanto2002.ico, sample_photo.bmp, banner.jpg, dialog_photo.jpg and
#   demo_collection/SALVAS_*.JPG
# Everything is drawn by make_assets.py; the output is the same byte for byte
# on every run on the same machine (fixed seeds, no timestamps, one thread).
#
# Debian packages: imagemagick python3 fonts-urw-base35 fonts-dejavu-core
# (icoutils, if present, is used for an extra look at the icon).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(dirname "$here")"

for tool in convert python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "make_assets.sh: $tool not found; apt-get install -y imagemagick python3" >&2
        exit 1
    fi
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# ImageMagick's threaded filters may add up in a different order from run to
# run; one thread keeps every byte of the output stable.
export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1 LC_ALL=C

# A photo dropped from the list must not linger in the demo folder.
mkdir -p "$here/demo_collection"
rm -f "$here"/demo_collection/SALVAS_*.JPG

python3 "$here/make_assets.py" "$here" "$work"

# Pixel checks that need a JPEG decoder, so they are done here rather than in
# the byte-level check: the banner sits on a black window and the dialog
# photo on a white dialog, so their edges must match those exactly enough.
corners() {
    local f=$1 w h
    read -r w h < <(convert "$f" -format '%w %h' info:)
    for xy in "0,0" "$((w - 1)),0" "0,$((h - 1))" "$((w - 1)),$((h - 1))"; do
        convert "$f" -format "%[fx:int(255*p{$xy}.r)] %[fx:int(255*p{$xy}.g)] %[fx:int(255*p{$xy}.b)]\n" info:
    done
}
if corners "$here/banner.jpg" | awk '$1 > 8 || $2 > 8 || $3 > 8 { bad = 1 } END { exit !bad }'; then
    echo "make_assets.sh: banner.jpg is not black at its corners" >&2
    exit 1
fi
if corners "$here/dialog_photo.jpg" | awk '$1 < 247 || $2 < 247 || $3 < 247 { bad = 1 } END { exit !bad }'; then
    echo "make_assets.sh: dialog_photo.jpg is not white at its corners" >&2
    exit 1
fi

# The byte-level format check, plus a pixel-for-pixel comparison of the RLE8
# bitmap against the picture it was encoded from.
python3 "$repo/tests/assets/check_assets.py" --bmp-reference "$work/sample-256.ppm" "$here"

if command -v icotool >/dev/null 2>&1; then
    icotool -l "$here/Salvanto2002.ico"
fi
