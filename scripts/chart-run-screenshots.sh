#!/usr/bin/env bash
# Pictures of the automatic chart run under a window manager: the InitAuto
# dialog with its three corners taken, a TQ RGB run in progress and the
# finished chart, taken by the chart dialog tests on the simulated Lumatrak A.
# Needs built tests (build/default) and the packages of scripts/install-deps.sh.
#   scripts/chart-run-screenshots.sh [output directory]   (default build/screenshots)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/build/screenshots}")"
tests="$root/build/default/tests/ui/chart_view_tests"
[ -x "$tests" ] || { echo "build chart_view_tests first: cmake --build --preset default" >&2; exit 1; }
mkdir -p "$out"
export LTRAKW_SCREENSHOT_DIR="$out" QT_QPA_PLATFORM=xcb TESTS="$tests"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
openbox >/dev/null 2>&1 &
sleep 1
"$TESTS" --gtest_filter="*XYAuto*:*InitAuto*" >/dev/null
'
echo "pictures in $out"
