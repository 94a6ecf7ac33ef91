#!/usr/bin/env bash
# The main window after a Fetch of the bundled example, on a virtual X server:
# copies examples/ to a scratch folder, starts the program there on the query
# "Example", presses "Fetch" with the mouse, waits for the export and saves a
# picture of the window.
#   scripts/screenshot-main.sh [-o main.png] [-b build/rel] [-s 1280x900]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=main.png
build=$here/build/rel
screen=1280x900
while getopts "o:b:s:" opt; do
  case $opt in
    o) out=$OPTARG ;;
    b) build=$OPTARG ;;
    s) screen=$OPTARG ;;
    *) echo "usage: $0 [-o main.png] [-b build-dir] [-s WxH]" >&2; exit 2 ;;
  esac
done
for tool in xvfb-run xdotool import; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is missing (xvfb, xdotool, imagemagick)" >&2; exit 2; }
done
program=$build/app/quillomar
[ -x "$program" ] || { echo "$0: $program is not built" >&2; exit 2; }
case $out in /*) ;; *) out="$PWD/$out" ;; esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$here/examples/." "$work/"

export SHOT_OUT="$out" SHOT_PROGRAM="$program" SHOT_DIR="$work"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
xvfb-run -a -s "-screen 0 ${screen}x24" bash -c '
  set -e
  cd "$SHOT_DIR"
  "$SHOT_PROGRAM" "\\query=Example" &
  pid=$!
  win=$(timeout 20 xdotool search --sync --onlyvisible --name "Top Speed Quillomar" | head -1)
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$win")"
  # "Fetch" stands at 6,104 and is 71 dialog units wide; the window opens at
  # 545 x 400 dialog units, so its size gives the units in pixels.
  xdotool mousemove --window "$win" $((WIDTH * 41 / 545)) $((HEIGHT * 110 / 400)) click 1
  sleep 3
  status=0
  import -window "$win" "$SHOT_OUT" || status=$?
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  exit $status'
echo "$out"
