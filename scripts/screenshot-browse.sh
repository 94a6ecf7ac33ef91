#!/usr/bin/env bash
# The saved-query browse on the desktop backend under a virtual X server: a
# store of 200 queries, the browse opened from the main window, three letters
# typed on its list, Select pressed. Writes browse.png (the browse open) and
# form.png (the main window's form filled with the picked query).
#   scripts/screenshot-browse.sh [-b build-dir] [-o folder] [-s 1280x800] [letters]
set -euo pipefail
build=build/rel
out=shots
screen=1280x800
while getopts "b:o:s:" opt; do
  case $opt in
    b) build=$OPTARG ;;
    o) out=$OPTARG ;;
    s) screen=$OPTARG ;;
    *) echo "usage: $0 [-b build-dir] [-o folder] [-s WxH] [letters]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
driver="$build/tools/browse_shot/browse_shot"
[ -x "$driver" ] || { echo "$0: $driver is missing (cmake --build $build --target browse_shot)" >&2; exit 2; }
command -v xvfb-run >/dev/null || { echo "$0: xvfb-run is missing (xvfb)" >&2; exit 2; }
mkdir -p "$out"
# The desktop backend picks the X server the virtual display gives.
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
xvfb-run -a -s "-screen 0 ${screen}x24" "$driver" "$out" "$@"
