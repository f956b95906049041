#!/usr/bin/env bash
# Runs one batch of 20 transparent 3840x2160 frames through the alpha and the
# colour stage's convert command lines, with the staged ImageMagick launcher
# (and so the shipped policy.xml), and prints how long each took. Then runs
# the alpha stage once more with the system's own policy, for comparison.
# Too slow and too big for the test suite; run it by hand after changing the
# policy or the launcher.
#
#   scripts/check-4k-batch.sh [build-folder]     (default: build)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-"$here/build"}" && pwd)
launcher="$build/share/zev/imageMagick/bin/convert"
real=$(sed -n 's/^ZEV_IMAGEMAGICK_CONVERT:FILEPATH=//p' "$build/CMakeCache.txt")
ffmpeg=$(sed -n 's/^ZEV_FFMPEG:FILEPATH=//p' "$build/CMakeCache.txt")
[ -x "$launcher" ] || { echo "check-4k-batch: build first ($launcher missing)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/zev-4k-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/frames" "$work/alphaImages" "$work/rgbImages" "$work/stock"

# testsrc2 with a global alpha gives a half-transparent background around an
# opaque pattern, in RGBA.
"$ffmpeg" -hide_banner -loglevel error -f lavfi -i "testsrc2=size=3840x2160:rate=20:duration=1:alpha=128" \
  -pix_fmt rgba -start_number 0 "$work/frames/%d.png"
frames=()
for i in $(seq 0 19); do frames+=("$work/frames/$i.png"); done

per_image=(-set filename:basename '%[basename]')
alpha() { "$1" -alpha extract "${frames[@]}" "${per_image[@]}" "$2/%[filename:basename].png"; }
colour() { "$1" -background black -alpha remove "${frames[@]}" "${per_image[@]}" "$2/%[filename:basename].png"; }
# Images that decode completely: a refused run can still leave files behind.
count() {
  local good=0 image
  for image in "$1"/*.png; do
    [ -e "$image" ] && "$launcher" "$image" -format '' info: 2>/dev/null && good=$((good + 1))
  done
  echo "$good"
}
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }

echo "limits through the launcher:"
"$launcher" -list resource | sed -n 's/^ *\(Memory\|Map\|Disk\|Area\): /  \1: /p'

start=$(now); alpha "$launcher" "$work/alphaImages"; end=$(now)
echo "alpha stage, 20 frames 3840x2160: $(elapsed "$start" "$end") s, $(count "$work/alphaImages") of 20 readable masks"
rm -f "$work/alphaImages"/*

start=$(now); colour "$launcher" "$work/rgbImages"; end=$(now)
echo "colour stage, 20 frames 3840x2160: $(elapsed "$start" "$end") s, $(count "$work/rgbImages") of 20 colour images"
rm -f "$work/rgbImages"/*

# The driver runs both stages of a batch at the same time.
start=$(now)
alpha "$launcher" "$work/alphaImages" & first=$!
colour "$launcher" "$work/rgbImages" & second=$!
wait "$first" "$second"
end=$(now)
echo "both stages at once: $(elapsed "$start" "$end") s," \
  "$(count "$work/alphaImages") masks, $(count "$work/rgbImages") colour images"

echo "alpha stage with the system's policy ($real, no launcher):"
start=$(now)
status=0
alpha "$real" "$work/stock" 2>"$work/stock.log" || status=$?
end=$(now)
echo "  $(elapsed "$start" "$end") s, exit status $status, $(count "$work/stock") of 20 readable masks, $(find "$work/stock" -maxdepth 1 -type f | wc -l) files"
sort -u "$work/stock.log" | sed 's/^/  /' | head -5
