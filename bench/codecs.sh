#!/usr/bin/env bash
# Compares the express conversion's codecs on the same frames: for each of
# x264's CRF 18, 23 and 28, every other codec at the CRF that matches the
# H.264 video's colour PSNR (the coarsest CRF of its own scale whose colour
# PSNR is at least H.264's, found by bisection), with the video's bytes, the
# mask and colour PSNR as zev-cli --check measures them, and the encoding's
# CPU seconds (user + sys of zev-cli and its ffmpeg) and wall time. The
# frames are the sample animation (scripts/make-sample-frames.sh) read at
# 25 fps, so every frame becomes one video frame.
#
#   bench/codecs.sh [--frames N] [--width W] [--height H] [--targets "18 23 28"] [--build DIR]
#
# Defaults: 48 frames of 480x270, the build in build/.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
count=48
width=480
height=270
targets="18 23 28"
build="$here/build"
while (($#)); do
  case $1 in
  --frames) count=$2; shift 2 ;;
  --width) width=$2; shift 2 ;;
  --height) height=$2; shift 2 ;;
  --targets) targets=$2; shift 2 ;;
  --build) build=$2; shift 2 ;;
  *) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done
zev_cli="$build/bin/zev-cli"
[ -x "$zev_cli" ] || { echo "codecs: $zev_cli not found; build first" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/zev-codecs-XXXXXX")
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"
frames="$work/frames"
"$here/scripts/make-sample-frames.sh" "$frames" "$count" "$width" "$height" >/dev/null

# encode CODEC_ARGS… : one express run at a CRF; prints
# "bytes mask colour cpu wall" of the video it wrote.
encode() {
  /usr/bin/time -o "$work/time" -f '%U %S %e' "$zev_cli" --express --fps 25 "$@" "$frames" >/dev/null 2>&1
  local video check
  check=$("$zev_cli" --check --json "$frames" 2>/dev/null)
  video=$(sed -n 's/.*"video":"\([^"]*\)".*/\1/p' <<<"$check")
  awk -v bytes="$(stat -c %s "$video")" -v check="$check" '
    function field(name,   rest) {
      rest = substr(check, index(check, "\"" name "\":{\"average\":") + length(name) + 14)
      return substr(rest, 1, index(rest, ",") - 1) + 0
    }
    { printf "%d %.2f %.2f %.2f %.2f\n", bytes, field("mask"), field("colour"), $1 + $2, $3 }' "$work/time"
}

# matched CODEC [CONTAINER] TARGET_COLOUR: the coarsest CRF whose colour PSNR
# reaches the target; prints "crf bytes mask colour cpu wall".
matched() {
  local codec=$1 target=$2 low=0 high=51 middle result best=""
  [ "$codec" = av1 ] || [ "$codec" = vp9 ] && high=63
  while ((low <= high)); do
    middle=$(((low + high) / 2))
    result=$(encode --codec "$codec" --crf "$middle")
    if awk -v c="$(cut -d' ' -f3 <<<"$result")" -v t="$target" 'BEGIN { exit !(c >= t) }'; then
      best="$middle $result"
      low=$((middle + 1))
    else
      high=$((middle - 1))
    fi
  done
  # Even CRF 0 fell short: report it.
  [ -n "$best" ] || best="0 $(encode --codec "$codec" --crf 0)"
  echo "$best"
}

row() { # CODEC CRF BYTES MASK COLOUR CPU WALL REFERENCE_BYTES REFERENCE_CPU
  awk -v n="$1" -v crf="$2" -v b="$3" -v m="$4" -v c="$5" -v cpu="$6" -v wall="$7" -v rb="$8" -v rc="$9" \
    'BEGIN { printf "%-6s %4s %9d %7.0f%% %8.2f %9.2f %8.2f %7.2fx %7.2f\n", n, crf, b, 100 * b / rb, m, c, cpu, cpu / rc, wall }'
}

printf '%-6s %4s %9s %8s %8s %9s %8s %8s %7s\n' codec crf bytes "vs h264" "mask dB" "colour dB" "CPU s" "vs h264" "wall s"
for target in $targets; do
  read -r bytes mask colour cpu wall <<<"$(encode --crf "$target")"
  row h264 "$target" "$bytes" "$mask" "$colour" "$cpu" "$wall" "$bytes" "$cpu"
  for codec in h265 av1 vp9; do
    read -r crf b m c u w <<<"$(matched "$codec" "$colour")"
    row "$codec" "$crf" "$b" "$m" "$c" "$u" "$w" "$bytes" "$cpu"
  done
  echo
done
echo "$count frames of ${width}x${height} (scripts/make-sample-frames.sh), read at 25 fps; each codec at the"
echo "coarsest CRF of its own scale whose colour PSNR reaches H.264's; CPU s is user + sys of the run"
