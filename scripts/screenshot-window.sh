#!/usr/bin/env bash
# Takes docs/window.png: the window as it starts, shown on a virtual X
# server (Xvfb) and grabbed from its screen with ImageMagick.
#
#   scripts/screenshot-window.sh [build-folder] [folder to show]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$here/build"}
shift || true
shot=$(mktemp --suffix=.png)
trap 'rm -f "$shot"' EXIT

# Runs inside xvfb-run: start the window, let it settle, grab the screen.
if [ "${ZEV_SCREENSHOT_INSIDE:-}" = 1 ]; then
  "$build/bin/zev" "$@" &
  sleep 3
  import -window root "$ZEV_SCREENSHOT_FILE"
  kill "$!"
  exit 0
fi

ZEV_SCREENSHOT_INSIDE=1 ZEV_SCREENSHOT_FILE="$shot" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build" "$@"
# Without a window manager the window sits alone at the top left of a black
# screen; cutting the black away leaves exactly the window.
mkdir -p "$here/docs"
convert-im6.q16 "$shot" -trim +repage "$here/docs/window.png"
echo "wrote $here/docs/window.png"
