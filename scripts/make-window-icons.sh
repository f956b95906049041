#!/usr/bin/env bash
# Draws the window's icons with ImageMagick: the two alert marks and the
# application icon. The PNGs are committed; run this again only to change
# their pictures.
#
#   scripts/make-window-icons.sh
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$here/resources/icons"
mkdir -p "$out"

# Another program called "convert" may come first on PATH; use ImageMagick's own.
magick=/usr/bin/convert-im6.q16
"$magick" -version | grep -q ImageMagick

# Every picture is drawn four times larger and scaled down, which gives
# smooth edges without relying on the renderer's antialiasing.
draw() { # size output draw-arguments…
  local size=$1 output=$2
  shift 2
  "$magick" -size 256x256 xc:none "$@" -filter Lanczos -resize "${size}x${size}" +repage \
    -depth 8 -define png:color-type=6 "$output"
}

# Error: a red disc with a white exclamation mark.
draw 64 "$out/msgerror.png" \
  -fill '#e5484d' -draw 'circle 128,128 128,12' \
  -fill white -draw 'roundrectangle 112,54 144,152 16,16' \
  -draw 'circle 128,188 128,168'

# Success: a green disc with a white tick.
draw 64 "$out/msgSuccess.png" \
  -fill '#30a46c' -draw 'circle 128,128 128,12' \
  -fill none -stroke white -strokewidth 26 -draw 'stroke-linecap round stroke-linejoin round polyline 72,132 112,172 186,94'

# Application icon: the start button's blue, a film frame split into a grey
# mask half and a colour half, as every ZEV video frame is.
draw 256 "$out/zev.png" \
  -fill '#3388ff' -draw 'roundrectangle 8,8 248,248 48,48' \
  -fill '#d9d9d9' -draw 'roundrectangle 40,72 124,184 10,10' \
  -fill '#1b1f2a' -draw 'roundrectangle 132,72 216,184 10,10' \
  -fill '#ffb224' -draw 'circle 174,128 174,100' \
  -fill white -draw 'circle 82,128 82,100'
