#!/usr/bin/env bash
# Installs what is missing, builds, and starts LtrakW with COM1 attached to
# the built-in simulator (a Lumatrak S with paper white under its head).
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)"

program=build/default/LtrakW
if [ ! -x "$program" ]; then
  echo "The LtrakW program was not built; starting the simulator alone." >&2
  exec build/default/sim/ltsim --device lumatrak-s
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  cat >&2 <<MSG
No display found: LtrakW is a desktop program and needs an X11 or Wayland display.
Run it on a desktop, or on a virtual display:
    xvfb-run -a -s "-screen 0 1280x1024x24" ./run.sh
MSG
  exit 1
fi

export LTRAKW_COM1="${LTRAKW_COM1:-sim}"
exec "$program" "$@"
