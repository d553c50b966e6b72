#!/usr/bin/env bash
# The demo: Salvanto2002.scr running its slideshow over the bundled sample
# collection, in a private Wine prefix under build/demo (never ~/.wine).
# On $DISPLAY it runs until a key or the mouse ends it; without a display it
# runs on a virtual screen, saves a screenshot at every tick under
# build/demo/screenshots and stops after DEMO_TICKS ticks (default 12).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
ticks=${DEMO_TICKS:-12}
interval=${DEMO_INTERVAL:-2}

bash scripts/deps.sh
cmake --preset windows >/dev/null
cmake --build build/windows -j"$(nproc)" --target Salvanto2002

out=$root/build/demo
mkdir -p "$out"
export WINEPREFIX=$out/prefix WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=${WINEDEBUG:--all} WINEARCH=win64
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "Making the demo's Wine prefix (once)..."
  DISPLAY= wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true

# The settings as the companion application would leave them.
collection=$(winepath -w "$root/assets/demo_collection/")
[[ $collection == *\\ ]] || collection+='\'
python3 - "$out/demo.reg" "$collection" "$interval" <<'PY'
import sys
path, collection, interval = sys.argv[1:]
esc = lambda s: s.replace('\\', '\\\\').replace('"', '\\"')
open(path, 'w', encoding='utf-16').write(
    'Windows Registry Editor Version 5.00\r\n\r\n'
    '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n\r\n'
    '[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\SCRNSAVE: The Salvanto Anthology 2002\\Settings]\r\n'
    f'"SalvantosDir"="{esc(collection)}"\r\n"Interval"="{interval}"\r\n')
PY
DISPLAY= wine regedit /S "$(winepath -w "$out/demo.reg")" >/dev/null 2>&1
# The session started without a display must be over before the show starts
# on one: Wine keeps the first display it was given for the whole session.
wineserver -w

scr=$root/build/windows/Salvanto2002.scr
if [[ -n ${DISPLAY:-} ]]; then
  echo "The slideshow runs on $DISPLAY: press a key or click to end it."
  wine "$scr" /s
  exit 0
fi

# No display: a virtual 1024 x 768 screen, a screenshot at every tick.
xvfb_pid=
scr_pid=
cleanup() {
  [[ -n $scr_pid ]] && kill "$scr_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
display_number=90
while [[ -e /tmp/.X${display_number}-lock || -e /tmp/.X11-unix/X${display_number} ]]; do ((display_number++)); done
Xvfb ":$display_number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [[ -e /tmp/.X11-unix/X$display_number ]] && break; sleep 0.1; done
export DISPLAY=:$display_number
rm -rf "$out/screenshots"
mkdir -p "$out/screenshots"
wine "$scr" /s >"$out/wine.log" 2>&1 &
scr_pid=$!
# The window is up and laid out before the first tick, which comes one interval later.
sleep 1
import -window root "$out/screenshots/tick-00.png"
for ((tick = 1; tick <= ticks; tick++)); do
  sleep "$interval"
  kill -0 "$scr_pid" 2>/dev/null || { echo "The screen saver ended early." >&2; exit 1; }
  import -window root "$(printf '%s/screenshots/tick-%02d.png' "$out" "$tick")"
done
echo "Screenshots of $ticks ticks: $out/screenshots/"
