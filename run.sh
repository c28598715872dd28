#!/usr/bin/env bash
# Installs what is missing, builds, and starts LtrakW with COM1 attached to
# the built-in simulator (a Lumatrak S with paper under its head).
#   ./run.sh                 the program on the desktop's display
#   xvfb-run -a ./run.sh     on a machine without a display
# Settings of this trial run live in build/default/demo-config, so they do
# not mix with the settings of a real instrument; set LTRAKW_CONFIG_DIR to
# use others.
set -euo pipefail
cd "$(dirname "$0")"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  cat >&2 <<MSG
No display found: LtrakW is a desktop program and needs an X11 or Wayland display.
Run it on a desktop, or on a virtual display:
    xvfb-run -a -s "-screen 0 1280x1024x24" ./run.sh
(the window is then invisible; add x11vnc or take screenshots to see it).
MSG
  exit 1
fi

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target LtrakW -j"$(nproc)"

program=build/default/LtrakW
if [ ! -x "$program" ]; then
  echo "The LtrakW program was not built (is qt6-base-dev installed?)." >&2
  exit 1
fi

export LTRAKW_COM1="${LTRAKW_COM1:-sim}"
export LTRAKW_CONFIG_DIR="${LTRAKW_CONFIG_DIR:-$PWD/build/default/demo-config}"
mkdir -p "$LTRAKW_CONFIG_DIR"
# A firmware file to try the "Service" tab with.
if [ ! -e "$LTRAKW_CONFIG_DIR/BASIC.A20" ] && command -v python3 >/dev/null; then
  python3 scripts/make_firmware.py "$LTRAKW_CONFIG_DIR/BASIC.A20"
fi

cat <<HINT
Starting LtrakW with the simulated Lumatrak S on COM1 (settings in $LTRAKW_CONFIG_DIR).
  1. On the "Spectrum" tab click "Init Device" and answer "OK" (the instrument sits on white).
  2. The Lumatrak S now waits in remote mode for its own key: click "Press the
     instrument's key" in the simulator strip at the top - or click "Remote On"
     to switch remote mode off and then measure with "Acquire".
  3. Choose other samples (inks, tints, spot colours) in the simulator strip;
     the "Simulator" menu also switches the instrument model or drops the line.
  4. On the "Service" tab: "Start Service", "Load File " (pick BASIC.A20, a generated
     firmware file), "Download Program" (answer "OK" to erase), then "Close Service".
HINT
exec "$program" "$@"
