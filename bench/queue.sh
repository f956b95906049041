#!/usr/bin/env bash
# Times the window's queue: copies of one folder of sample frames converted
# one at a time, then two at once (build/bin/zev_queue_bench).
#
#   bench/queue.sh [--copies N] [--frames N] [--width W] [--height H]
#                  [--express] [--build DIR]
#
# Defaults: 4 copies of 48 frames of 240x136, the default pipeline, the
# build in build/. The scratch folders, logs and caches go into a temporary
# folder that is removed at the end.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
copies=4
count=48
width=240
height=136
express=()
build="$here/build"

usage() { sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; }
while (($#)); do
  case $1 in
  --copies) copies=$2; shift 2 ;;
  --frames) count=$2; shift 2 ;;
  --width) width=$2; shift 2 ;;
  --height) height=$2; shift 2 ;;
  --express) express=(--express); shift ;;
  --build) build=$2; shift 2 ;;
  --help) usage; exit 0 ;;
  *) echo "queue: unknown option '$1'" >&2; usage >&2; exit 2 ;;
  esac
done

bench="$build/bin/zev_queue_bench"
if [ ! -x "$bench" ]; then
  echo "queue: $bench not found; build first" >&2
  exit 1
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/zev-queue-XXXXXX")
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work/tmp" XDG_CACHE_HOME="$work/cache" XDG_STATE_HOME="$work/state"
mkdir -p "$TMPDIR"
"$here/scripts/make-sample-frames.sh" "$work/frames" "$count" "$width" "$height" >/dev/null
echo "queue: $count frames of ${width}x${height}; load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$bench" "$work/frames" "$copies" "${express[@]}"
echo "queue: load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
