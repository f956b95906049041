#!/usr/bin/env bash
# Measures how fast the preview window plays a packed video: the real
# window on a virtual X server (Xvfb), the frames it shows counted for a
# while after the first one (zev --preview VIDEO --measure-playback SECONDS),
# with the CPU time the program and its ffmpeg used, and the machine's load
# beside it.
#
#   bench/preview-playback.sh [--video FILE] [--frames N] [--width W] [--height H]
#                             [--seconds S] [--build DIR]
#
# Without --video, makes N transparent frames of W×H (default 300 of
# 1280×720, so a 2560×720 packed video of 12 s) and converts them with
# zev-cli --express --preset best --fps 25 in a temporary folder.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
video=""
count=300
width=1280
height=720
seconds=10
build="$here/build"

usage() { sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; }
while (($#)); do
  case $1 in
  --video) video=$2; shift 2 ;;
  --frames) count=$2; shift 2 ;;
  --width) width=$2; shift 2 ;;
  --height) height=$2; shift 2 ;;
  --seconds) seconds=$2; shift 2 ;;
  --build) build=$2; shift 2 ;;
  --help) usage; exit 0 ;;
  *) echo "preview-playback: unknown option '$1'" >&2; usage >&2; exit 2 ;;
  esac
done

work=$(mktemp -d --tmpdir zev-preview-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
if [ -z "$video" ]; then
  echo "making $count frames of ${width}x${height} and their video..." >&2
  "$here/scripts/make-sample-frames.sh" "$work/frames" "$count" "$width" "$height"
  "$build/bin/zev-cli" --express --preset best --fps 25 "$work/frames" >/dev/null 2>&1
  video="$work/frames/output/zev.mp4"
fi
ffprobe -v error -select_streams v:0 -show_entries stream=width,height,nb_frames,r_frame_rate \
  -of default=noprint_wrappers=1 "$video" | tr '\n' ' '
echo
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
# The CPU time counts the whole run: Xvfb's start, the window's, the first
# second before the count starts, and the count.
QT_QPA_PLATFORM=xcb ZEV_APPEARANCE=Light /usr/bin/time -o "$work/time" \
  -f "cpu: %U s user, %S s system, %e s wall (the whole run: Xvfb, zev and its ffmpeg)" \
  xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bin/zev" --preview "$video" --measure-playback "$seconds" \
  2>"$work/errors" || { cat "$work/errors" >&2; exit 1; }
cat "$work/time"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
