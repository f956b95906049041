#!/usr/bin/env bash
# Compares zev-cli's express videos with what one plain FFmpeg command makes
# of the same frames (alpha extracted, colour laid on black, the two side by
# side, libx264's defaults in yuv420p), on contents made here with FFmpeg:
#   gift     an opaque moving star with anti-aliased edges and a soft glow
#   sticker  the same star without the glow: its edge meets full transparency
#   ui       a panel (82 % opaque) sliding in, with a button, a growing bar
#            and a round avatar on it: flat colours
#   hard     a fast zoom into the Mandelbrot set under a moving soft alpha:
#            detail and partial transparency over the whole frame
# Each variant is encoded at a few rate points and measured with
# zev-cli --check (mask, colour × alpha, everything laid over white, and the
# edge pixels, 0 < alpha < 255, laid over white). bench/bdrate.py then gives
# each variant's Bjøntegaard delta rate against the plain command: the
# difference in bytes at equal quality, per measure (negative: smaller),
# and the CPU seconds (user + system) of all its encodes against the plain
# command's. A zev-cli run's CPU includes its checks and the reading back.
#
#   bench/quality.sh [--frames N] [--size WxH] [--contents "gift ..."]
#                    [--variant 'NAME|POINTS|zev ARGS'] ... [--rows]
#                    [--build DIR] [--keep DIR]
#
# Defaults: 30 frames of 320x180; all four contents; the variants
#   zev           |18 23 28 33|zev --crf @Q@
#   zev-straight  |18 23 28 33|zev --crf @Q@ --colour straight
# A variant's ARGS are zev-cli's (--express --fps 25 and the folder are
# added), @Q@ replaced by each point. 'NAME|POINTS|ffmpeg premultiplied|
# straight ARGS' encodes with ffmpeg itself (ARGS after the input: the filter
# graph and the encoder's options), for trying out commands. --rows prints
# every encode's figures too; --keep keeps the frames and videos.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
count=30
size=320x180
contents="gift sticker ui hard"
build="$here/build"
keep=""
rows=0
variants=()
usage() { sed -n '2,35p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
while (($#)); do
  case $1 in
  --frames) count=$2; shift 2 ;;
  --size) size=$2; shift 2 ;;
  --contents) contents=$2; shift 2 ;;
  --variant) variants+=("$2"); shift 2 ;;
  --rows) rows=1; shift ;;
  --build) build=$2; shift 2 ;;
  --keep) keep=$2; shift 2 ;;
  *) usage ;;
  esac
done
if ((${#variants[@]} == 0)); then
  variants=("zev|18 23 28 33|zev --crf @Q@" "zev-straight|18 23 28 33|zev --crf @Q@ --colour straight")
fi
width=${size%x*}
height=${size#*x}
zev_cli="$build/bin/zev-cli"
[ -x "$zev_cli" ] || { echo "quality: $zev_cli not found; build first" >&2; exit 1; }

if [ -n "$keep" ]; then
  work=$keep
  mkdir -p "$work"
else
  work=$(mktemp -d "${TMPDIR:-/tmp}/zev-quality-XXXXXX")
  trap 'rm -rf "$work"' EXIT
fi
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"

# make_frames KIND FOLDER: COUNT frames of WIDTH x HEIGHT at 25 fps.
make_frames() {
  local kind=$1 out=$2 n=$count w=$width h=$height graph
  local phase="(2*PI*N/$n)" blank="color=black:s=${w}x${h}:r=25"
  case $kind in
  gift | sticker)
    local cx="(W*(0.5+0.2*sin($phase)))" cy="(H*(0.5+0.15*sin(2*$phase)))"
    local dx="(X-$cx)" dy="(Y-$cy)"
    local d="(hypot($dx,$dy)-0.26*H*(1+0.2*cos(5*atan2($dy,$dx)+$phase)))"
    local shape="[0]format=gray,geq=lum='255*clip((0.75-$d)/1.5,0,1)',split=2[cover][coverAlpha]"
    local colour="[1]format=gbrp,geq=r='190+60*sin(X/11+N/6)':g='90+70*cos(Y/9-N/7)':b='70+60*sin((X+Y)/15)'[shapeColour]"
    if [ "$kind" = gift ]; then
      graph="[2]nullsink;$shape;$colour;[coverAlpha]split[a1][a2];[a2]gblur=sigma=0.07*$h:steps=3,lut=c0='val*1.87'[glow];"
      graph+="[a1][glow]blend=all_mode=screen[alpha];color=0xffcd5a:s=${w}x${h}:r=25,format=gbrp[glowColour];"
      graph+="[cover]format=gbrp[m];[glowColour][shapeColour][m]maskedmerge[c];[c][alpha]alphamerge"
    else
      graph="[2]nullsink;$shape;$colour;[cover]nullsink;[shapeColour][coverAlpha]alphamerge"
    fi
    ;;
  ui)
    local s="min(1,N/($n*0.3))"
    local px="(W*(0.5-0.6*pow(1-$s,2)))" py="(H*0.5)" bar="(0.3*W*(0.1+0.9*N/$n))"
    rounded() { echo "(hypot(max(abs(X-($1))-($3)+($5),0),max(abs(Y-($2))-($4)+($5),0))-($5))"; }
    local panel button progress avatar
    panel=$(rounded "$px" "$py" "0.4*W" "0.38*H" "0.08*H")
    button=$(rounded "$px-0.18*W" "$py+0.15*H" "0.14*W" "0.1*H" "0.05*H")
    progress=$(rounded "$px-0.36*W+$bar/2" "$py-0.18*H" "$bar/2" "0.04*H" "0.04*H")
    avatar="(hypot(X-($px+0.25*W),Y-($py+0.1*H))-0.13*H)"
    pick() { echo "if(lt(X,$px),if(lt(Y,$py),$2,$1),$3)"; }
    graph="[0]format=gray,geq=lum='255*clip(0.5-$panel,0,1)*0.82'[panel];"
    graph+="[1]format=gray,geq=lum='255*clip(0.5-min(min($button,$progress),$avatar),0,1)',split[inner][innerCover];"
    graph+="[panel][inner]blend=all_mode=screen[alpha];"
    graph+="[2]format=gbrp,geq=r='$(pick 40 60 230)':g='$(pick 110 200 140)':b='$(pick 235 90 60)'[innerColour];"
    graph+="color=0xf5f7fa:s=${w}x${h}:r=25,format=gbrp[panelColour];[innerCover]format=gbrp[m];"
    graph+="[panelColour][innerColour][m]maskedmerge[c];[c][alpha]alphamerge"
    ;;
  hard)
    graph="[0]nullsink;[2]nullsink;mandelbrot=s=${w}x${h}:r=25:end_pts=$n:start_scale=2:end_scale=0.3:maxiter=300:"
    graph+="outer=normalized_iteration_count,gblur=sigma=1.2,format=rgba[c];"
    graph+="[1]format=gray,geq=lum='clip(255*(0.8+0.6*sin(X/17+N/4)*sin(Y/13-N/6)),0,255)'[a];"
    graph+="[c][a]alphamerge"
    ;;
  *) echo "quality: no content named $kind" >&2; exit 2 ;;
  esac
  mkdir -p "$out"
  ffmpeg -nostdin -v error -f lavfi -i "$blank" -f lavfi -i "$blank" -f lavfi -i "$blank" \
    -filter_complex "$graph,format=rgba" -frames:v "$n" -start_number 0 "$out/%d.png"
}

# The plain command: what a user types to get the default layout.
plain_graph="[0:v]format=rgba,split[a][c];[a]alphaextract,format=rgb24[m];[c]premultiply=inplace=1,format=rgb24[p];[m][p]hstack"

# cpu_of COMMAND...: runs it, prints its user + system seconds.
cpu_of() {
  /usr/bin/time -o "$work/time.txt" -f '%U %S' "$@" >/dev/null 2>&1
  awk '{ printf "%.2f", $1 + $2 }' "$work/time.txt"
}

# row CONTENT VARIANT POINT CPU FOLDER: one line of figures from --check.
row() {
  local json bytes
  bytes=$(stat -c %s "$5/output/zev.mp4")
  json=$("$zev_cli" --check --json "$5")
  python3 -c '
import json, sys
content, variant, point, cpu, size, text = sys.argv[1:]
d = json.loads(text)
if not d.get("ok"):
    sys.exit("quality: --check failed: " + d.get("reason", ""))
def figure(v):
    return "null" if v is None else str(v)
e = d["edges"]
print(content, variant, point, size, cpu, d["mask"]["average"], d["colour"]["average"],
      d["overWhite"]["average"], figure(e["overWhite"]["psnr"]))' "$1" "$2" "$3" "$4" "$bytes" "$json"
}

# encode CONTENT FOLDER VARIANT_SPEC: every point of one variant.
encode() {
  local content=$1 folder=$2 name points command point cpu
  IFS='|' read -r name points command <<<"$3"
  for point in $points; do
    local words=()
    read -r -a words <<<"${command//@Q@/$point}"
    rm -f "$folder/output/zev.mp4" "$folder/output/zev.json"
    case ${words[0]} in
    plain)
      mkdir -p "$folder/output"
      cpu=$(cpu_of ffmpeg -nostdin -v error -framerate 25 -start_number 0 -i "$folder/%d.png" \
        -filter_complex "$plain_graph" -c:v libx264 -crf "$point" -pix_fmt yuv420p -y "$folder/output/zev.mp4")
      ;;
    zev)
      cpu=$(cpu_of "$zev_cli" --express --fps 25 "${words[@]:1}" "$folder")
      ;;
    ffmpeg)
      mkdir -p "$folder/output"
      cpu=$(cpu_of ffmpeg -nostdin -v error -framerate 25 -start_number 0 -i "$folder/%d.png" \
        "${words[@]:2}" -f mp4 -y "$folder/output/zev.mp4")
      [ "${words[1]}" = straight ] && cp "$folder/straight.json" "$folder/output/zev.json"
      ;;
    *) echo "quality: a variant runs zev, ffmpeg or plain, not ${words[0]}" >&2; exit 2 ;;
    esac
    [ -s "$folder/output/zev.mp4" ] || { echo "quality: $name at $point wrote no video" >&2; exit 1; }
    row "$content" "$name" "$point" "$cpu" "$folder"
  done
}

table="$work/rows.txt"
: >"$table"
for content in $contents; do
  folder="$work/$content"
  [ -f "$folder/0.png" ] || make_frames "$content" "$folder"
  # The description an ffmpeg variant with straight colour needs.
  "$zev_cli" --express --fps 25 --crf 51 --colour straight "$folder" >/dev/null 2>&1
  cp "$folder/output/zev.json" "$folder/straight.json"
  for variant in "plain|18 23 28 33|plain" "${variants[@]}"; do
    encode "$content" "$folder" "$variant" >>"$table"
  done
done
if ((rows)); then
  echo "content variant point bytes cpu mask colour overWhite edgeOverWhite"
  cat "$table"
  echo
fi
"$here/bench/bdrate.py" --reference plain <"$table"
echo
echo "BD-rates against the plain command: bytes at equal mask, colour (x alpha), over-white and"
echo "edge-over-white PSNR, in %; CPU: user + system seconds of all points ($count frames of $size)."
