#!/usr/bin/env bash
# The measurement behind each codec's encoder and preset in the express
# conversion (engine/tools/ExpressEncoder.cpp): the default layout's express
# graph encoded by ffmpeg with each candidate, side by side on the same
# frames, with the video's bytes, the mask and colour PSNR (the regions cut
# out and compared with the frames' alpha and premultiplied colour) and the
# CPU seconds (user + sys) and wall time of the run.
#
#   bench/encoders.sh [--frames N] [--width W] [--height H]
#
# Defaults: 24 frames of 960x540 (a 1920x540 video). Each line is one
# candidate at the CRF that puts it near x264's CRF 23.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
count=24
width=960
height=540
while (($#)); do
  case $1 in
  --frames) count=$2; shift 2 ;;
  --width) width=$2; shift 2 ;;
  --height) height=$2; shift 2 ;;
  *) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done

work=$(mktemp -d "${TMPDIR:-/tmp}/zev-encoders-XXXXXX")
trap 'rm -rf "$work"' EXIT
frames="$work/frames"
"$here/scripts/make-sample-frames.sh" "$frames" "$count" "$width" "$height" >/dev/null

# ExpressEncoder::kFilterGraph and the colour description every video carries.
graph="format=rgba,split[m][c];[m]alphaextract,format=gbrp,split[mask][alpha];[c]format=gbrp[rgb];"
graph+="[rgb][alpha]blend=all_mode=multiply[colour];[mask][colour]hstack=inputs=2"
colour=(-color_range tv -colorspace smpte170m -color_primaries bt709 -color_trc iec61966-2-1)

psnr() { # VIDEO X REFERENCE_GRAPH
  ffmpeg -nostdin -i "$1" -framerate 25 -start_number 0 -i "$frames/%d.png" -lavfi \
    "[0:v]crop=$width:$height:$2:0,format=gbrp[seen];[1:v]format=rgba,$3,format=gbrp[meant];[seen][meant]psnr" \
    -f null - 2>&1 | sed -n 's/.*PSNR.* average:\([0-9.inf]*\).*/\1/p' | tail -n 1
}

candidate() { # TITLE EXTENSION ENCODER_OPTIONS…
  local title=$1 extension=$2 video="$work/video.$2"
  shift 2
  SVT_LOG=1 /usr/bin/time -o "$work/time" -f '%U %S %e' ffmpeg -nostdin -v error -y -f image2 -framerate 25 \
    -start_number 0 -i "$frames/%d.png" -vf "$graph" -r 25 -pix_fmt yuv420p "${colour[@]}" "$@" \
    -f "$extension" "$video"
  awk -v t="$title" -v b="$(stat -c %s "$video")" -v m="$(psnr "$video" 0 alphaextract)" \
    -v c="$(psnr "$video" "$width" premultiply=inplace=1)" \
    '{ printf "%-34s %9d %8.2f %9.2f %7.2f %7.2f\n", t, b, m, c, $1 + $2, $3 }' "$work/time"
}

printf '%-34s %9s %8s %9s %7s %7s\n' candidate bytes "mask dB" "colour dB" "CPU s" "wall s"
candidate "x264 medium crf 23" mp4 -c:v libx264 -crf 23
candidate "x265 fast crf 23" mp4 -c:v libx265 -preset fast -crf 23 -x265-params log-level=error
candidate "x265 medium crf 23 (chosen)" mp4 -c:v libx265 -preset medium -crf 23 -x265-params log-level=error
candidate "x265 slow crf 23" mp4 -c:v libx265 -preset slow -crf 23 -x265-params log-level=error
candidate "libaom cpu-used 6 crf 32 (chosen)" mp4 -c:v libaom-av1 -cpu-used 6 -row-mt 1 -crf 32 -b:v 0
candidate "libaom cpu-used 5 crf 32" mp4 -c:v libaom-av1 -cpu-used 5 -row-mt 1 -crf 32 -b:v 0
candidate "svt-av1 preset 8 crf 30" mp4 -c:v libsvtav1 -preset 8 -crf 30
candidate "svt-av1 preset 6 crf 30" mp4 -c:v libsvtav1 -preset 6 -crf 30
candidate "libvpx-vp9 cpu-used 4 crf 32" webm -c:v libvpx-vp9 -deadline good -cpu-used 4 -row-mt 1 -crf 32 -b:v 0
candidate "libvpx-vp9 cpu-used 2 crf 32 (chosen)" webm -c:v libvpx-vp9 -deadline good -cpu-used 2 -row-mt 1 \
  -crf 32 -b:v 0
echo "$count frames of ${width}x${height} (scripts/make-sample-frames.sh), read at 25 fps"
