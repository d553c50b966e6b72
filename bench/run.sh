#!/usr/bin/env bash
# The loading benchmark: builds the bench program, makes test photos under
# build/bench (kept between runs), and prints, for each photo on the same
# files in the same run:
#   - the program's load-and-scale to Image1's size (777 x 473) under Wine,
#     with its peak working set;
#   - the bare platform decode under Wine (decoder, frame, one full
#     CopyPixels into a 32-bit buffer), with its peak working set;
#   - djpeg (libjpeg-turbo) natively, full size and -scale 1/8;
# each the median of several runs, every Wine run in a fresh process.
# Then how the real program answers while photos load (bench/responsiveness.py:
# key to exit, the UI thread's stalls, tick to photo; 48 MP against 1 MP),
# and a soak: ticks of the real photo show over a mixed folder.
#
#   bench/run.sh                    everything
#   bench/run.sh --no-soak          without the soak
#   bench/run.sh --no-responsive    without the responsiveness table
#   BENCH_RUNS=7 SOAK_TICKS=5000 KEY_SAMPLES=40 bench/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${BENCH_RUNS:-5}
soak_ticks=${SOAK_TICKS:-2000}
key_samples=${KEY_SAMPLES:-24}
do_soak=1
do_responsive=1
for arg in "$@"; do
  case $arg in
    --no-soak) do_soak=0 ;;
    --no-responsive) do_responsive=0 ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

bash scripts/deps.sh libjpeg-turbo-progs
cmake --preset windows >/dev/null
cmake --build build/windows -j"$(nproc)" --target salvanto_bench Salvanto2002 inspector >/dev/null
bench_exe=$root/build/windows/salvanto_bench.exe

out=$root/build/bench
photos=$out/photos
mkdir -p "$photos"

export WINEPREFIX=$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "Setting up a private Wine prefix in $WINEPREFIX ..."
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
# Keep the server up between runs (warm starts); fails harmlessly when one runs.
wineserver -p 2>/dev/null || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
# No window manager here: without this, Wine stalls on every window hide.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true

# Photographic-looking content (smooth fractal plus sensor-like noise) at
# camera JPEG settings; made once, kept in build/bench/photos.
make_photo() {  # name width height output [options...]
  local name=$1 w=$2 h=$3 output=$4
  shift 4
  [[ -f $photos/$name ]] && return
  echo "Making $name ($w x $h) ..."
  convert -size 640x480 -seed 7 plasma:fractal -blur 0x1 -filter Triangle -resize "${w}x${h}!" \
    -attenuate 0.4 +noise Gaussian "$@" "$output"
}
make_photo p01mp.jpg 1152 864 "$photos/p01mp.jpg" -quality 90 -sampling-factor 2x2
make_photo p12mp.jpg 4000 3000 "$photos/p12mp.jpg" -quality 90 -sampling-factor 2x2
make_photo p24mp.jpg 6000 4000 "$photos/p24mp.jpg" -quality 90 -sampling-factor 2x2
make_photo p48mp.jpg 8000 6000 "$photos/p48mp.jpg" -quality 90 -sampling-factor 2x2
make_photo p12mp.bmp 4000 3000 BMP3:"$photos/p12mp.bmp" -type truecolor
[[ -f $photos/warm.jpg ]] || convert -size 16x16 plasma:fractal "$photos/warm.jpg"
[[ -f $photos/warm.bmp ]] || convert -size 16x16 plasma:fractal -type truecolor BMP3:"$photos/warm.bmp"

# Wine sees the Linux root as drive Z:. (Not winepath: it would start a
# Wine session, and one started outside the virtual display has none.)
winpath() { local p=${1//\//\\}; echo "Z:$p"; }

median() { sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
field() { sed -n "s/.* $1=\([0-9.]*\).*/\1/p"; }

# Runs the bench program runs times; prints "median_ms median_peak_mb".
wine_median() {
  local ms=() peak=() line
  for ((i = 0; i < runs; i++)); do
    line=$(wine "$bench_exe" "$@" | tr -d '\r')
    [[ $line == *"ok=1"* ]] || { echo "failed: $* -> $line" >&2; echo "nan nan"; return; }
    ms+=("$(field ms <<<"$line")")
    peak+=("$(field peak_mb <<<"$line")")
  done
  echo "$(printf '%s\n' "${ms[@]}" | median) $(printf '%s\n' "${peak[@]}" | median)"
}

native_ms() {  # median wall time of a native command, in ms
  local t=()
  for ((i = 0; i < runs; i++)); do
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null
    t1=$(date +%s%N)
    t+=("$(((t1 - t0) / 1000))")
  done
  printf '%s\n' "${t[@]}" | median | awk '{printf "%.1f", $1 / 1000}'
}

echo
echo "Load-and-scale to 777 x 473 against the bare decode, Wine 8 ($runs runs each, medians)"
printf '%-10s %5s | %9s %9s %7s | %9s %9s %8s | %8s %9s\n' \
  photo MP "load ms" "bare ms" "ratio" "load MB" "bare MB" "diff MB" "djpeg" "djpeg/8"
printf '%-10s %5s | %9s %9s %7s | %9s %9s %8s | %8s %9s\n' "" "" "" "" "<=1.15" "peak" "peak" "<=16" "ms" "ms"
fails=0
for name in p01mp.jpg p12mp.jpg p24mp.jpg p48mp.jpg p12mp.bmp; do
  file=$photos/$name
  winfile=$(winpath "$file")
  warm=$(winpath "$photos/warm.${name##*.}")
  mp=$(identify -format '%w %h' "$file" | awk '{printf "%.1f", $1 * $2 / 1e6}')
  read -r load_ms load_mb < <(wine_median load "$winfile" 777 473 "$warm")
  read -r bare_ms bare_mb < <(wine_median bare "$winfile" "$warm")
  if [[ $name == *.jpg ]]; then
    dj=$(native_ms djpeg -outfile /dev/null "$file")
    dj8=$(native_ms djpeg -scale 1/8 -outfile /dev/null "$file")
  else
    dj=-
    dj8=-
  fi
  read -r ratio diff verdict < <(awk -v l="$load_ms" -v b="$bare_ms" -v lm="$load_mb" -v bm="$bare_mb" 'BEGIN {
    r = l / b; d = lm - bm; ok = (r <= 1.15 && d <= 16) ? "ok" : "MISS"; printf "%.2f %.1f %s\n", r, d, ok }')
  [[ $verdict == ok ]] || fails=$((fails + 1))
  printf '%-10s %5.1f | %9.1f %9.1f %7s | %9.1f %9.1f %8s | %8s %9s  %s\n' \
    "$name" "$mp" "$load_ms" "$bare_ms" "$ratio" "$load_mb" "$bare_mb" "$diff" "$dj" "$dj8" "$verdict"
done
((fails == 0)) && echo "All photos within both targets." || echo "$fails photo(s) outside a target (marked MISS)."
echo "Peaks are the whole Wine process's (PeakWorkingSetSize); load ms and bare ms are timed inside the"
echo "process around the load alone, after a warm-up load of a 16 x 16 file of the same format."

if ((do_responsive)); then
  echo
  echo "Responsiveness of Salvanto2002.scr /s while photos load (the harness of tests/e2e; log: $out/responsiveness.log) ..."
  python3 bench/responsiveness.py --photo48 "$photos/p48mp.jpg" --photo1 "$photos/p01mp.jpg" --out "$out" \
    --samples "$key_samples" 2>"$out/responsiveness.log" || echo "(a target missed or a run failed; see the log)"
fi

if ((do_soak)); then
  soak=$out/soak
  if [[ ! -d $soak ]]; then
    echo
    echo "Making the soak folder ..."
    mkdir -p "$soak/SUBFOLDER"
    convert -size 320x240 -seed 3 plasma:fractal "$soak/SALVAS_ZY0001.JPG"
    convert -size 1600x1200 -seed 4 plasma:fractal -quality 85 "$soak/SALVAS_570002.JPG"
    convert -size 3000x2000 -seed 5 plasma:fractal -quality 85 "$soak/SALVAS_TF0003.JPG"
    convert -size 640x480 -seed 6 plasma:fractal "$soak/SALVAS_C50004.PNG"
    convert -size 640x480 -seed 8 plasma:fractal "$soak/SALVAS_020005.GIF"
    convert -size 640x480 -seed 9 plasma:fractal "$soak/SALVAS_GT0006.TIF"
    convert -size 613x366 -seed 10 plasma:fractal -colors 200 -compress RLE BMP3:"$soak/SALVAS_MS0007.BMP"
    head -c 30000 "$soak/SALVAS_570002.JPG" >"$soak/SALVAS_990008.JPG"  # truncated
    echo "not a picture" >"$soak/README.TXT"
    cp "$soak/SALVAS_ZY0001.JPG" "$soak/.hidden.jpg"
    cp "$soak/SALVAS_ZY0001.JPG" "$soak/SALVAS_GT_été_日本.JPG"
    # A header that claims 60000 x 60000 pixels.
    python3 - "$soak/SALVAS_QQ0009.JPG" "$soak/SALVAS_ZY0001.JPG" <<'EOF'
import sys
data = bytearray(open(sys.argv[2], 'rb').read())
i = 2
while data[i + 1] not in (0xC0, 0xC1, 0xC2):
    i += 2 + (data[i + 2] << 8 | data[i + 3])
data[i + 5:i + 9] = (60000).to_bytes(2, 'big') * 2
open(sys.argv[1], 'wb').write(data)
EOF
  fi
  echo
  echo "Soak: $soak_ticks ticks of the photo show through the real loader over $(ls -A "$soak" | wc -l) entries"
  echo "(JPEG, PNG, GIF, TIFF, RLE8 BMP, a truncated JPEG, a text file, an absurd header, a folder,"
  echo "a hidden file, a name outside ASCII); a failing tick counts a box instead of showing one."
  # A Wine session of its own that sees the virtual display.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  xvfb-run -a -s "-screen 0 1024x768x24" wine "$bench_exe" soak "$(winpath "$soak")\\" "$soak_ticks" 2> >(grep -v "X connection" >&2) | tr -d '\r'
fi
