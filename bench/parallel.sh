#!/usr/bin/env bash
# Times zev-cli on several small frame folders converted one after another
# against the same folders converted two (or --jobs) at a time with
# xargs -P, one zev-cli per folder, as a build script would, and prints the
# wall time of each way and the speed-up.
#
#   bench/parallel.sh [--folders N] [--frames N] [--width W] [--height H]
#                     [--jobs J] [--express] [--build DIR]
#
# Defaults: 8 folders of 48 frames of 240x136, 2 jobs, the default
# pipeline, the build in build/. Everything lives in a temporary folder
# that is removed at the end.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
folders=8
count=48
width=240
height=136
jobs=2
express=()
build="$here/build"

usage() { sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; }
while (($#)); do
  case $1 in
  --folders) folders=$2; shift 2 ;;
  --frames) count=$2; shift 2 ;;
  --width) width=$2; shift 2 ;;
  --height) height=$2; shift 2 ;;
  --jobs) jobs=$2; shift 2 ;;
  --express) express=(--express); shift ;;
  --build) build=$2; shift 2 ;;
  --help) usage; exit 0 ;;
  *) echo "parallel: unknown option '$1'" >&2; usage >&2; exit 2 ;;
  esac
done

zev_cli="$build/bin/zev-cli"
if [ ! -x "$zev_cli" ]; then
  echo "parallel: $zev_cli not found; build first with: bash scripts/setup.sh" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/zev-parallel-XXXXXX")
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work/tmp" XDG_CACHE_HOME="$work/cache" XDG_STATE_HOME="$work/state"
mkdir -p "$TMPDIR"

echo "parallel: making $folders folders of $count frames of ${width}x${height} ..."
"$here/scripts/make-sample-frames.sh" "$work/frames-0" "$count" "$width" "$height" >/dev/null
for ((i = 1; i < folders; i++)); do
  cp -r "$work/frames-0" "$work/frames-$i"
done

# Checks that every folder got its video, then removes the videos.
videos_made() {
  local missing=0
  for ((i = 0; i < folders; i++)); do
    [ -s "$work/frames-$i/output/zev.mp4" ] || missing=$((missing + 1))
    rm -rf "$work/frames-$i/output"
  done
  if ((missing)); then
    echo "parallel: $missing of $folders videos are missing" >&2
    exit 1
  fi
}

seconds_since() { awk -v start="$1" -v now="$(date +%s.%N)" 'BEGIN { printf "%.2f", now - start }'; }

echo "parallel: load average before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
start=$(date +%s.%N)
for ((i = 0; i < folders; i++)); do
  "$zev_cli" "${express[@]}" --json "$work/frames-$i" >>"$work/one-by-one.jsonl" 2>/dev/null
done
one_by_one=$(seconds_since "$start")
videos_made

start=$(date +%s.%N)
for ((i = 0; i < folders; i++)); do printf '%s\0' "$work/frames-$i"; done |
  xargs -0 -n 1 -P "$jobs" "$zev_cli" "${express[@]}" --json >"$work/side-by-side.jsonl" 2>/dev/null
side_by_side=$(seconds_since "$start")
videos_made

pipeline=${express[*]:-default}
echo
echo "$folders folders of $count frames of ${width}x${height}, ${pipeline#--} pipeline, $(nproc) cores," \
  "load average after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-28s %8s\n' way "wall s"
printf '%-28s %8s\n' "one by one" "$one_by_one"
printf '%-28s %8s\n' "xargs -P$jobs, zev-cli each" "$side_by_side"
awk -v a="$one_by_one" -v b="$side_by_side" 'BEGIN { printf "speed-up: %.2fx\n", a / b }'
echo "json lines: $(wc -l <"$work/one-by-one.jsonl") one by one, $(wc -l <"$work/side-by-side.jsonl") side by side," \
  "$(grep -c '"ok":true' "$work/side-by-side.jsonl") of them ok"
