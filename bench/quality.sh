#!/usr/bin/env bash
# Measures what a round trip through zev-cli's express video keeps of the
# frames: the mask's PSNR against the frames' alpha and the colour's PSNR
# against the frames' colour laid onto black, for the three presets and
# x264 CRF 18, 23 and 28, with each video's bitrate. The frames are the
# sample animation (scripts/make-sample-frames.sh) read at 25 fps, so every
# frame becomes one video frame; the video is decoded to RGB as a player
# would, and the regions are cut out of the default layout (mask left).
#
#   bench/quality.sh [--frames N] [--width W] [--height H] [--build DIR]
#
# Defaults: 48 frames of 240x136, the build in build/.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
count=48
width=240
height=136
build="$here/build"
while (($#)); do
  case $1 in
  --frames) count=$2; shift 2 ;;
  --width) width=$2; shift 2 ;;
  --height) height=$2; shift 2 ;;
  --build) build=$2; shift 2 ;;
  *) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done
zev_cli="$build/bin/zev-cli"
[ -x "$zev_cli" ] || { echo "quality: $zev_cli not found; build first" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/zev-quality-XXXXXX")
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"
frames="$work/frames"
"$here/scripts/make-sample-frames.sh" "$frames" "$count" "$width" "$height"

# psnr VIDEO X REFERENCE_GRAPH: the average PSNR of the W x H region at
# (X, 0), decoded to planar RGB, against the frames through the graph.
psnr() {
  ffmpeg -nostdin -i "$1" -framerate 25 -start_number 0 -i "$frames/%d.png" -lavfi \
    "[0:v]crop=$width:$height:$2:0,format=gbrp[seen];[1:v]format=rgba,$3,format=gbrp[meant];[seen][meant]psnr" \
    -f null - 2>&1 | sed -n 's/.*PSNR.* average:\([0-9.inf]*\).*/\1/p' | tail -n 1
}

printf '%-22s %12s %12s %12s\n' quality "kbit/s" "mask dB" "colour dB"
for choice in "--preset high" "--preset super" "--preset best" "--crf 18" "--crf 23" "--crf 28"; do
  # shellcheck disable=SC2086 # the choice is two words on purpose
  "$zev_cli" --express --fps 25 $choice "$frames" >/dev/null 2>&1
  video="$frames/output/zev.mp4"
  kbits=$(ffprobe -v error -select_streams v:0 -show_entries stream=bit_rate -of csv=p=0 "$video")
  mask=$(psnr "$video" 0 "alphaextract")
  colour=$(psnr "$video" "$width" "premultiply=inplace=1")
  awk -v c="$choice" -v k="$kbits" -v m="$mask" -v o="$colour" 'BEGIN { printf "%-22s %12d %12.1f %12.1f\n", c, k / 1000, m, o }'
done
echo "$count frames of ${width}x${height} (scripts/make-sample-frames.sh), read at 25 fps"
