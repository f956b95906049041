#!/usr/bin/env bash
# Makes a sequence of transparent PNG frames 0.png … (N-1).png in OUT_FOLDER:
# a glowing blob with a faint halo travelling a figure-eight, its colours
# turning round the hue circle, its edges fading softly into full
# transparency. The motion loops, so frame N-1 leads back into frame 0.
#
#   scripts/make-sample-frames.sh OUT_FOLDER [N] [W] [H]    (defaults 48 240 136)
#
# W and H should be even: the video encoder refuses odd sizes.
set -euo pipefail

if (($# < 1 || $# > 4)); then
  echo "usage: $0 OUT_FOLDER [N] [W] [H]" >&2
  exit 2
fi
out=$1
count=${2:-48}
width=${3:-240}
height=${4:-136}
for value in "$count" "$width" "$height"; do
  if ! [[ $value =~ ^[1-9][0-9]*$ ]]; then
    echo "$0: N, W and H must be positive whole numbers, not '$value'" >&2
    exit 2
  fi
done
mkdir -p "$out"

# The blob is drawn once, per pixel by geq, on a square sprite: d is the
# distance from the centre in core radii, st/ld keep it from being computed
# twice. The colour runs round the hue circle with the angle and turns white
# in the glowing core; the alpha is an opaque core with a soft edge plus a
# faint ring.
side=$(((width < height ? width : height) * 96 / 100 / 2 * 2))
side=$((side < 2 ? 2 : side))
distance="st(0,hypot(X-W/2,Y-H/2)/(W/4.4))"
glow="exp(-4*ld(0)*ld(0))"
channel() { echo "$distance;clip(255*((0.5+0.5*sin(atan2(Y-H/2,X-W/2)+$1))*(1-$glow)+$glow),0,255)"; }
alpha="$distance;clip(255*(exp(-1.6*pow(ld(0),4))+0.3*exp(-18*pow(ld(0)-1.6,2))),0,255)"
sprite="color=c=black@0:s=${side}x${side}:r=25:d=0.04,format=rgba"
sprite+=",geq=r='$(channel 0)':g='$(channel 2.094)':b='$(channel 4.189)':a='$alpha'"

# Every frame repeats the sprite, turns its hue by the loop's phase and
# moves it: the sprite sits in the middle of a transparent canvas twice the
# frame's size, and a frame-sized window is cut out of it at an offset that
# puts the blob on the figure-eight. Far cheaper than drawing every frame
# with geq, which matters for the benchmark's large frames.
phase="(2*PI*n/$count)"
animate="loop=loop=-1:size=1,format=yuva444p,hue=H='$phase'"
animate+=",pad=w=2*$width:h=2*$height:x=$width-$side/2:y=$height-$side/2:color=black@0"
animate+=",crop=w=$width:h=$height:x='$width*(0.5-0.32*sin($phase))':y='$height*(0.5-0.28*sin(2*$phase))'"
animate+=",format=rgba"

ffmpeg -nostdin -v error -y -f lavfi -i "$sprite,$animate" \
  -frames:v "$count" -start_number 0 "$out/%d.png"
