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
# Then the photo on the beat, beside the same figures for a baseline build
# (an older revision, built under build/bench/baseline-src): the real photo
# show ticked by a window timer (bench/beat_win.cpp) over collections of 1,
# 12, 24 and 48 MP JPEGs and a mix of 1 and 24 MP, for tick to photo, each
# change's offset from the beat, photos per minute and the peak working set.
# Then how the real program answers while photos load (bench/responsiveness.py:
# key to exit, the UI thread's stalls, tick to photo; 48 MP against 1 MP;
# key to exit and stalls for the baseline too), and a soak: ticks of the real
# photo show over a mixed folder, then the test command's soak at 10,000 ticks.
#
#   bench/run.sh                    everything
#   bench/run.sh --baseline REV     the baseline revision (default 6be9550)
#   bench/run.sh --no-beat          without the beat table
#   bench/run.sh --no-soak          without the soak
#   bench/run.sh --no-responsive    without the responsiveness table
#   BENCH_RUNS=7 SOAK_TICKS=5000 LONG_SOAK_TICKS=20000 KEY_SAMPLES=40 bench/run.sh
#   BEAT_TICKS=10 BASE_KEY_SAMPLES=8 bench/run.sh   (BASE_KEY_SAMPLES=0: no
#                                   baseline in the responsiveness table)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${BENCH_RUNS:-5}
soak_ticks=${SOAK_TICKS:-2000}
long_soak_ticks=${LONG_SOAK_TICKS:-10000}
key_samples=${KEY_SAMPLES:-24}
base_key_samples=${BASE_KEY_SAMPLES:-8}
beat_ticks=${BEAT_TICKS:-10}
baseline=6be9550
do_soak=1
do_responsive=1
do_beat=1
while (($#)); do
  case $1 in
    --no-soak) do_soak=0 ;;
    --no-responsive) do_responsive=0 ;;
    --no-beat) do_beat=0 ;;
    --baseline) [[ $# -ge 2 ]] || { echo "--baseline needs a revision" >&2; exit 2; }; baseline=$2; shift ;;
    --baseline=*) baseline=${1#--baseline=} ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
  shift
done

bash scripts/deps.sh libjpeg-turbo-progs
cmake --preset windows >/dev/null
cmake --build build/windows -j"$(nproc)" --target salvanto_bench salvanto_beat Salvanto2002 inspector photo_probe >/dev/null
bench_exe=$root/build/windows/salvanto_bench.exe

out=$root/build/bench

# The baseline: the revision's files (git archive) in build/bench/baseline-src,
# kept between runs and replaced only when the revision changes, built with
# its own windows preset, with this tree's beat program and its frame host
# added to it (they use only what both trees share).
base_scr=
base_beat=
base_rev=
if ((do_beat)) || ((do_responsive && base_key_samples > 0)); then
  base_rev=$(git rev-parse --verify --quiet "$baseline^{commit}") ||
    { echo "--baseline $baseline: not a revision" >&2; exit 2; }
  base_src=$out/baseline-src
  if [[ $(cat "$base_src/.bench-revision" 2>/dev/null) != "$base_rev" ]]; then
    echo "Unpacking the baseline ${base_rev:0:7} into $base_src ..."
    rm -rf "$base_src"
    mkdir -p "$base_src"
    git archive "$base_rev" | tar -x -C "$base_src"
    echo "$base_rev" >"$base_src/.bench-revision"
  fi
  for shared in bench/beat_win.cpp tests/e2e/tools/frame_host.h tests/e2e/tools/process_clock.h; do
    mkdir -p "$base_src/$(dirname "$shared")"
    cmp -s "$shared" "$base_src/$shared" || cp "$shared" "$base_src/$shared"
  done
  if ! grep -qs 'salvanto_beat' "$base_src/bench/windows_tools.cmake"; then
    sed -n '/^# The photo show ticked by a real window timer/,$p' bench/windows_tools.cmake \
      >>"$base_src/bench/windows_tools.cmake"
  fi
  echo "Building the baseline ${base_rev:0:7} ($(git log -1 --format=%s "$base_rev" | cut -c1-60)) ..."
  (cd "$base_src" && cmake --preset windows >/dev/null &&
    cmake --build build/windows -j"$(nproc)" --target Salvanto2002 salvanto_beat >/dev/null)
  base_scr=$base_src/build/windows/Salvanto2002.scr
  base_beat=$base_src/build/windows/salvanto_beat.exe
fi
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
declare -A load_of
for name in p01mp.jpg p12mp.jpg p24mp.jpg p48mp.jpg p12mp.bmp; do
  file=$photos/$name
  winfile=$(winpath "$file")
  warm=$(winpath "$photos/warm.${name##*.}")
  mp=$(identify -format '%w %h' "$file" | awk '{printf "%.1f", $1 * $2 / 1e6}')
  read -r load_ms load_mb < <(wine_median load "$winfile" 777 473 "$warm")
  load_of[$name]=$load_ms
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

if ((do_beat)); then
  beat=$out/beat
  # Each photo under several names (hard links), so that every tick loads
  # a file afresh; the mix alternates 1 and 24 MP in the listing's order.
  collection() {  # folder name=photo...
    local folder=$beat/$1 entry
    shift
    rm -rf "$folder"
    mkdir -p "$folder"
    for entry in "$@"; do ln "$photos/${entry#*=}" "$folder/${entry%%=*}"; done
  }
  for p in p01mp p12mp p24mp p48mp; do
    collection "$p" SALVAS_JA1.JPG="$p.jpg" SALVAS_ZY2.JPG="$p.jpg" SALVAS_57X.JPG="$p.jpg"
  done
  collection mixed SALVAS_A1.JPG=p01mp.jpg SALVAS_B2.JPG=p24mp.jpg SALVAS_C3.JPG=p01mp.jpg \
    SALVAS_D4.JPG=p24mp.jpg SALVAS_E5.JPG=p01mp.jpg SALVAS_F6.JPG=p24mp.jpg
  # folder, delay in ms, measured ticks
  cases=("p01mp 2000 $beat_ticks" "p12mp 2000 $beat_ticks" "p24mp 2000 $beat_ticks" "p48mp 2000 $beat_ticks"
    "mixed 2000 $((beat_ticks + 2))" "p48mp 1000 30")
  echo
  echo "Photo on the beat: ${#cases[@]} cases of salvanto_beat, baseline ${base_rev:0:7} and current in turn" \
    "(about $(((4 * (beat_ticks + 1) * 2 + (beat_ticks + 3) * 2 + 31 + 6 * 3) * 2 / 60 + 1)) minutes) ..."
  for c in "${cases[@]}"; do
    read -r folder delay ticks <<<"$c"
    for build in base cur; do
      exe=$root/build/windows/salvanto_beat.exe
      [[ $build == base ]] && exe=$base_beat
      # A Wine session of its own that sees the virtual display, as the soak's.
      wineserver -k >/dev/null 2>&1 || true
      wineserver -w
      xvfb-run -a -s "-screen 0 1024x768x24" wine "$exe" "$(winpath "$beat/$folder")\\" "$delay" "$ticks" \
        2>/dev/null | tr -d '\r' >"$beat/$build-$folder-$delay.jsonl" || true
    done
  done
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  python3 - "$beat" "${base_rev:0:7}" "${load_of[p01mp.jpg]}" "${load_of[p12mp.jpg]}" "${load_of[p24mp.jpg]}" \
    "${load_of[p48mp.jpg]}" <<'EOF' || echo "(a target missed or a run failed; the lines are in $beat)"
import json, sys
from pathlib import Path

beat, rev = Path(sys.argv[1]), sys.argv[2]
SIZES = ["p01mp", "p12mp", "p24mp", "p48mp"]
load = dict(zip(SIZES, map(float, sys.argv[3:7])))
frame_mb = 777 * 473 * 4 / 2**20  # one 32-bit picture of Image1's size on 800 x 600
DELAY = 2000
CASES = [f"{p}-{DELAY}" for p in SIZES] + [f"mixed-{DELAY}", "p48mp-1000"]


def run(build, case):
    """The summary (None when the run did not finish) and the tick lines."""
    path = beat / f"{build}-{case}.jsonl"
    lines = [json.loads(x) for x in path.read_text().splitlines() if x.startswith("{")] if path.exists() else []
    summary = next((x for x in lines if x.get("summary")), None)
    return (summary if summary and summary["finished"] else None), [x for x in lines if "tick" in x]


rows, missed, failed = [], [], set()


def row(label, case, key, target="", check=None, decimals=0):
    values = []
    for build in ("base", "cur"):
        summary, _ = run(build, case)
        if summary is None:
            failed.add(f"{build} {case}")
        values.append(None if summary is None else summary[key])
    verdict = ""
    if check:
        ok = values[1] is not None and check(values[1], values[0])
        verdict = "ok" if ok else "MISS"
        if not ok:
            missed.append(label)
    cells = ["-" if v is None else f"{v:.{decimals}f}" for v in values]
    rows.append((label, *cells, target, verdict))


fits = [p for p in SIZES if load[p] < DELAY]
for p in SIZES:
    case, mp, fit = f"{p}-{DELAY}", int(p[1:3]), p in fits
    row(f"{mp} MP, 2 s: tick to photo, median ms", case, "median_ms", "<= 16" if fit else "(load > delay)",
        (lambda c, b: c <= 16) if fit else None)
    row(f"{mp} MP, 2 s: tick to photo, slowest ms", case, "slowest_ms", "<= 33" if fit else "(load > delay)",
        (lambda c, b: c <= 33) if fit else None)
    row(f"{mp} MP, 2 s: skipped ticks", case, "skipped")
row("1+24 MP, 2 s: worst offset from beat ms", f"mixed-{DELAY}", "worst_offset_ms", "|x| <= 50",
    lambda c, b: abs(c) <= 50)
decoder_max = 60000 / load["p48mp"]  # one 48 MP load after another
row("48 MP, 1 s: photos up per minute", "p48mp-1000", "shown_per_min",
    f"most {min(60, decoder_max):.0f} (decoder {decoder_max:.0f}, ticks 60)", None, 1)
row("48 MP, 1 s: repaints per minute", "p48mp-1000", "changes_per_min", "", None, 1)
row("48 MP, 1 s: skipped ticks of 30", "p48mp-1000", "skipped")
for case, label in zip(CASES, ["1 MP, 2 s", "12 MP, 2 s", "24 MP, 2 s", "48 MP, 2 s", "1+24 MP, 2 s", "48 MP, 1 s"]):
    row(f"{label}: peak working set MB", case, "peak_mb", f"<= base + {frame_mb:.1f}",
        lambda c, b: b is not None and c <= b + frame_mb, 1)

print()
print("Photo on the beat, under Wine 8 on a virtual display: the real photo show ticked by a window timer,")
print(f"one warm-up tick, then the ticks measured (base: {rev}; current: this tree)")
print(f"{'':42} {'base':>8} {'current':>8}   target")
for label, b, c, target, verdict in rows:
    print(f"{label:42} {b:>8} {c:>8}   {target:<20} {verdict}".rstrip())
describe = lambda ps: ", ".join(f"{int(p[1:3])} MP ({load[p]:.0f} ms)" for p in ps)
print(f"Loads (the load table's) within the 2 s delay: {describe(fits) or 'none'}"
      + (f"; longer: {describe([p for p in SIZES if p not in fits])}" if len(fits) < len(SIZES) else ""))
for build in ("base", "cur"):
    _, ticks = run(build, f"mixed-{DELAY}")
    offsets = " ".join(f"{x['offset_ms']:.0f}" for x in ticks if x.get("changed") and not x.get("box"))
    print(f"1+24 MP, offsets of the changes from the beat (ms), {build}: {offsets or '-'}")
for build in ("base", "cur"):
    summaries = [run(build, case)[0] or {} for case in CASES]
    strays, boxes = (sum(s.get(k, 0) for s in summaries) for k in ("stray_paints", "boxes"))
    if strays or boxes:
        print(f"{build}: {strays} repaint(s) of Image1 between ticks, {boxes} failure box(es); see {beat}")
print("Tick to photo: from WM_TIMER to the end of the tick's work, its photo painted in Image1. Offset: when")
print("a new photo was painted, less the first measured tick's time + (k - 1) x delay. Photos up: ticks whose")
print("photo was on screen within the 30 s (a picture reused for the same file counts); repaints: new pictures.")
if failed:
    print(f"Run(s) that did not finish: {', '.join(sorted(failed))}")
print("All current figures within their targets." if not missed and not failed
      else f"Outside a target: {', '.join(missed) or '-'}.")
sys.exit(1 if missed or failed else 0)
EOF
fi

if ((do_responsive)); then
  echo
  echo "Responsiveness of Salvanto2002.scr /s while photos load (the harness of tests/e2e; log: $out/responsiveness.log) ..."
  base_args=()
  if [[ -n $base_scr ]] && ((base_key_samples > 0)); then
    base_args=(--baseline-scr "$base_scr" --baseline-samples "$base_key_samples")
  fi
  python3 bench/responsiveness.py --photo48 "$photos/p48mp.jpg" --photo1 "$photos/p01mp.jpg" --out "$out" \
    --samples "$key_samples" "${base_args[@]}" 2>"$out/responsiveness.log" ||
    echo "(a target missed or a run failed; see the log)"
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
  # The long soak with its checks: the test command's soak (tests/e2e/test_soak.py,
  # 3,000 ticks there) at 10,000 ticks, its figures in the log.
  wineserver -k >/dev/null 2>&1 || true
  echo
  echo "Long soak: test_soak.py at $long_soak_ticks ticks (log: $out/long-soak.log) ..."
  export SALVANTO_E2E_TEMPLATE=$out/e2e-template SALVANTO_E2E_OUT=$out/e2e-out
  python3 tests/e2e/harness.py template >/dev/null
  if SOAK_TICKS=$long_soak_ticks SOAK_EVERY=1000 python3 tests/e2e/test_soak.py >"$out/long-soak.log" 2>&1; then
    echo "Memory, handles and GDI objects stayed flat over $long_soak_ticks ticks."
  else
    tail -20 "$out/long-soak.log"
    echo "(the long soak failed; see the log)"
  fi
fi
