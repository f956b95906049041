#!/usr/bin/env bash
# Makes one of the contents of the quality benchmarks (bench/quality.sh,
# bench/budgets.sh) with FFmpeg: COUNT frames 0.png … of WxH (default 30 of
# 320x180) at 25 fps in FOLDER.
#
#   bench/make-content.sh KIND FOLDER [COUNT] [WxH]
#
# KIND is one of
#   gift     an opaque moving star with anti-aliased edges and a soft glow
#   sticker  the same star without the glow: its edge meets full transparency
#   ui       a panel (82 % opaque) sliding in, with a button, a growing bar
#            and a round avatar on it: flat colours
#   hard     a fast zoom into the Mandelbrot set under a moving soft alpha:
#            detail and partial transparency over the whole frame

set -euo pipefail
make_content() {
  local kind=$1 out=$2 n=$3 w=${4%x*} h=${4#*x} graph
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
  *) echo "make-content: no content named $kind" >&2; exit 2 ;;
  esac
  mkdir -p "$out"
  ffmpeg -nostdin -v error -f lavfi -i "$blank" -f lavfi -i "$blank" -f lavfi -i "$blank" \
    -filter_complex "$graph,format=rgba" -frames:v "$n" -start_number 0 "$out/%d.png"
}

(($# >= 2)) || { sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
make_content "$1" "$2" "${3:-30}" "${4:-320x180}"
