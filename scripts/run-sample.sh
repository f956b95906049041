#!/usr/bin/env bash
# Sets everything up, builds, makes a short sample animation of transparent
# PNG frames and converts it with the command-line front end. Prints the path
# of the video last.
#
#   scripts/run-sample.sh [build-folder]     (default: build)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$here/build"}
# Only the program and the tool launchers it runs; the tests and the manual
# page are for scripts/test.sh.
"$here/scripts/setup.sh" --target zev-cli "$build"

# Made afresh every time, so the video always shows the current sample.
frames="$build/sample-frames"
rm -rf "$frames"
"$here/scripts/make-sample-frames.sh" "$frames"
echo "sample: $(find "$frames" -maxdepth 1 -name '*.png' | wc -l) frames in $frames"

"$build/bin/zev-cli" --fps 20 --preset high "$frames"
echo "$frames/output/zev.mp4"
