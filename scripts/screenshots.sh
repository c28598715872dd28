#!/usr/bin/env bash
# Pictures of the main window as an operator sees it under a window manager:
# every tab at 1280 x 1024 maximised and at the window's minimum size, on
# the built-in simulator, after one measurement; a failure; two exchanges
# in progress ("Init Device" on a dropped line waiting for the operator, a
# dark reference of 255 scans on the array spectrometer). Needs a built LtrakW
# (build/default) and the packages of scripts/install-deps.sh.
#   scripts/screenshots.sh [output directory]   (default build/screenshots)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/build/screenshots}")"
program="$root/build/default/LtrakW"
[ -x "$program" ] || { echo "build LtrakW first: cmake --build --preset default" >&2; exit 1; }
mkdir -p "$out"
config="$(mktemp -d)"
spectrometer="$(mktemp -d)"
trap 'rm -rf "$config" "$spectrometer"' EXIT

export LTRAKW_COM1=sim LTRAKW_NO_SOUND=1 OUT="$out" PROGRAM="$program"

# Starts LtrakW with the settings in config directory $1 under a window
# manager on a virtual screen, runs the steps in $2 (bash, with the
# program's window in $window and the helpers shoot and key) and ends it.
session() {
  LTRAKW_CONFIG_DIR="$1" STEPS="$2" xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
set -euo pipefail
openbox >/dev/null 2>&1 &
sleep 1
"$PROGRAM" >/dev/null 2>&1 &
window=$(xdotool search --sync --onlyvisible --name "LtrakW" | head -1)
sleep 2
shoot() { sleep 0.7; import -window root "$OUT/$1.png"; }
# Keys go to whatever has the focus, so that a dialog the program opens gets them.
key() { xdotool key --clearmodifiers "$@"; }
xdotool windowactivate --sync "$window"
eval "$STEPS"
kill %2 2>/dev/null || true
'
}

session "$config" '
# Init Device and its white-reference question, remote mode off, a sample.
key alt+i; sleep 0.8; key i; sleep 2.5; key Return; sleep 2.5
key alt+i; sleep 0.8; key r; sleep 1
key F5; sleep 2.5
wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
for tab in spectrum metrics quality service; do
  shoot "max-$tab"
  key ctrl+Tab
done
wmctrl -i -r "$window" -b remove,maximized_vert,maximized_horz
xdotool windowsize "$window" 100 100
for tab in spectrum metrics quality service; do
  shoot "min-$tab"
  key ctrl+Tab
done
# A failure: the line dropped, then Acquire.
key alt+s; sleep 0.3; xdotool key --clearmodifiers Up Up Return; sleep 0.5
key F5; sleep 3
shoot "min-failure"
xdotool key --clearmodifiers Escape || true
# An exchange waiting for the operator: Init Device on the dropped line
# reports the trouble while its progress and the resting controls stay.
wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
key alt+i; sleep 0.8; key i; sleep 3
shoot "max-init-dropped-line"
'

# A long spectrometer exchange: DarkRef of 255 scans of 640 ms.
printf "[TaviLight]\r\nBrand=3\r\nITime=4\r\nNoOfScans=255\r\nMinWLen=400\r\nMaxWLen=700\r\n" \
  > "$spectrometer/LtrakW.ini"
session "$spectrometer" '
wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
sleep 1
key alt+i; sleep 0.8; key i; sleep 4
# "DarkRef" in the maximised window; the pointer then rests on "Init Device"
# to show why it rests.
xdotool mousemove 84 551 click 1; sleep 4
xdotool mousemove 141 191; sleep 1.3
shoot "max-darkref-running"
'
echo "pictures in $out"
