#!/usr/bin/env bash
# Takes docs/queue.png and docs/queue-done.png: the window's queue while it
# converts four folders of sample frames given on zev's command line (one
# done, one refused for a missing frame, one converting, one waiting), and
# the one alert it ends with. Shown on a virtual X server (Xvfb) in the light
# appearance, with settings of its own (the default pipeline, one run at a
# time), and grabbed from its screen with ImageMagick.
#
#   scripts/screenshot-queue.sh [build-folder]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$here/build"}
build=$(cd "$build" && pwd)

# Waits up to a minute for a file to appear.
wait_for() {
  for _ in $(seq 600); do
    [ -e "$1" ] && return 0
    sleep 0.1
  done
  echo "screenshot-queue: $1 did not appear" >&2
  return 1
}

# Runs inside xvfb-run.
if [ "${ZEV_SCREENSHOT_INSIDE:-}" = 1 ]; then
  out=$ZEV_SCREENSHOT_DIR
  make_frames=$here/scripts/make-sample-frames.sh
  "$make_frames" "$out/walk" 12 240 136 >/dev/null
  cp -r "$out/walk" "$out/spin"
  cp -r "$out/walk" "$out/broken"
  rm "$out/broken/5.png"
  # Enough frames to be caught converting.
  "$make_frames" "$out/jump" 120 480 272 >/dev/null
  mkdir -p "$out/config/zev" "$out/tmp"
  printf '[queue]\nparallelRuns=1\n' >"$out/config/zev/zev.conf"

  XDG_CONFIG_HOME="$out/config" XDG_STATE_HOME="$out/state" XDG_CACHE_HOME="$out/cache" TMPDIR="$out/tmp" \
    ZEV_APPEARANCE=Light "$build/bin/zev" "$out/walk" "$out/broken" "$out/jump" "$out/spin" &
  pid=$!
  wait_for "$out/walk/output/zev.mp4"
  # Into jump's image stages, with its bar part of the way.
  sleep 4
  import -window root "$out/queue.png"
  wait_for "$out/spin/output/zev.mp4"
  sleep 2
  import -window root "$out/queue-done.png"
  kill "$pid"
  wait "$pid" || true
  exit 0
fi

work=$(mktemp -d --tmpdir zev-screenshots.XXXXXX)
trap 'rm -rf "$work"' EXIT
ZEV_SCREENSHOT_INSIDE=1 ZEV_SCREENSHOT_DIR="$work" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build"

# Without a window manager the window sits alone at the top left of a black
# screen, the alert over it; cutting the black away leaves exactly those.
mkdir -p "$here/docs"
for shot in queue queue-done; do
  convert-im6.q16 "$work/$shot.png" -trim +repage "$here/docs/$shot.png"
  echo "wrote $here/docs/$shot.png"
done
