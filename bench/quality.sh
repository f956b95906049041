#!/usr/bin/env bash
# Compares zev-cli's express videos with what one plain FFmpeg command makes
# of the same frames (alpha extracted, colour laid on black, the two side by
# side, libx264's defaults in yuv420p), on the contents bench/make-content.sh
# makes with FFmpeg: gift, sticker, ui and hard.
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
#   zev-av1       |30 36 42 48|zev --codec av1 --crf @Q@
#   zev-h265      |20 25 30 35|zev --codec h265 --crf @Q@
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
usage() { sed -n '2,37p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
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
  variants=("zev|18 23 28 33|zev --crf @Q@" "zev-straight|18 23 28 33|zev --crf @Q@ --colour straight"
    "zev-av1|30 36 42 48|zev --codec av1 --crf @Q@" "zev-h265|20 25 30 35|zev --codec h265 --crf @Q@")
fi
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
  [ -f "$folder/0.png" ] || "$here/bench/make-content.sh" "$content" "$folder" "$count" "$size"
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
