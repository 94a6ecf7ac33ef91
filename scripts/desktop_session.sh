#!/usr/bin/env bash
# Runs the desktop tests of the shell's windows on a virtual X server, the real
# toolkit on a real (virtual) screen, and keeps pictures of that screen taken
# as the scripted user reaches the field picker and the file dialog.
#   scripts/desktop_session.sh [-o folder] [-s 1280x800] [build folder]
set -euo pipefail
out=shots
screen=1280x800
while getopts "o:s:" opt; do
  case $opt in
    o) out=$OPTARG ;;
    s) screen=$OPTARG ;;
    *) echo "usage: $0 [-o folder] [-s WxH] [build folder]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
build=${1:-build/rel}
tests="$build/tests/shell_qt/shell_qt_tests"
[ -x "$tests" ] || { echo "$0: $tests is missing (build with the desktop backend first)" >&2; exit 2; }
command -v xvfb-run >/dev/null || { echo "$0: xvfb-run is missing (xvfb)" >&2; exit 2; }
mkdir -p "$out"
case $out in /*) ;; *) out="$PWD/$out" ;; esac
unset WAYLAND_DISPLAY
QM_SHOT_DIR="$out" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 ${screen}x24" "$tests"
ls "$out"/*.png
