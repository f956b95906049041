#!/usr/bin/env bash
# Takes docs/preview-light.png, docs/preview-dark.png and
# docs/preview-difference.png: the preview window playing the video of
# generated sample frames, in the light and the dark appearance, and in the
# difference view against the source frames. Each is shown on a virtual X
# server (Xvfb) and grabbed from its screen with ImageMagick.
#
#   scripts/screenshot-preview.sh [build-folder]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$here/build"}
build=$(cd "$build" && pwd)

# Runs inside xvfb-run: one picture per run of the window.
if [ "${ZEV_SCREENSHOT_INSIDE:-}" = 1 ]; then
  out=$ZEV_SCREENSHOT_DIR
  video=$out/frames/output/zev.mp4
  shoot() {
    ZEV_APPEARANCE=$1 "$build/bin/zev" --preview "$video" --preview-view "$2" &
    local pid=$!
    sleep 4
    import -window root "$out/$3.png"
    kill "$pid"
    wait "$pid" || true
  }
  shoot Light decoded light
  shoot Dark decoded dark
  shoot Light difference difference
  exit 0
fi

work=$(mktemp -d --tmpdir zev-screenshots.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$here/scripts/make-sample-frames.sh" "$work/frames" 48 480 272 >/dev/null
"$build/bin/zev-cli" --express --preset best "$work/frames" >/dev/null 2>&1
ZEV_SCREENSHOT_INSIDE=1 ZEV_SCREENSHOT_DIR="$work" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build"

# Without a window manager the window sits alone at the top left of a black
# screen; cutting the black away leaves exactly the window.
mkdir -p "$here/docs"
for shot in light dark difference; do
  convert-im6.q16 "$work/$shot.png" -trim +repage "$here/docs/preview-$shot.png"
  echo "wrote $here/docs/preview-$shot.png"
done
