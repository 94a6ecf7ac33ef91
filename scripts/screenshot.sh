#!/usr/bin/env bash
# Starts a program on a virtual X server, waits for it to draw its windows and
# takes a picture of the whole screen, then ends the program.
#   scripts/screenshot.sh [-o shot.png] [-w seconds] [-s 1280x800] program [args...]
set -euo pipefail
out=shot.png
wait_s=3
screen=1280x800
while getopts "o:w:s:" opt; do
  case $opt in
    o) out=$OPTARG ;;
    w) wait_s=$OPTARG ;;
    s) screen=$OPTARG ;;
    *) echo "usage: $0 [-o shot.png] [-w seconds] [-s WxH] program [args...]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
if [ $# -lt 1 ]; then
  echo "usage: $0 [-o shot.png] [-w seconds] [-s WxH] program [args...]" >&2
  exit 2
fi
for tool in xvfb-run import; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is missing (xvfb, imagemagick)" >&2; exit 2; }
done
case $out in /*) ;; *) out="$PWD/$out" ;; esac

export SHOT_OUT="$out" SHOT_WAIT="$wait_s"
# The desktop backend picks the X server the virtual display gives.
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
xvfb-run -a -s "-screen 0 ${screen}x24" bash -c '
  "$@" &
  pid=$!
  sleep "$SHOT_WAIT"
  status=0
  import -window root "$SHOT_OUT" || status=$?
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  exit $status' screenshot "$@"
echo "$out"
