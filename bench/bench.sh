#!/usr/bin/env bash
# Times zev-cli on generated transparent frames, a full run, a cache run, an
# express run and an express run with options (the mask below at half size),
# against the single FFmpeg command a user would otherwise
# type to get the same layout (mask left, colour on black right, H.264
# yuv420p at 25 fps and the same bitrate), and prints a table, the express
# run's standing against the reference and the full run, and how closely the
# videos agree.
#
#   bench/bench.sh [--frames N] [--width W] [--height H] [--build DIR]
#
# Defaults: 200 frames of 1280x720, the build in build/ (scripts/setup.sh
# makes it). The frames, the scratch folders and the videos live in a
# temporary folder that is removed at the end.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
count=200
width=1280
height=720
build="$here/build"

usage() { sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; }
while (($#)); do
  case $1 in
  --frames) count=$2; shift 2 ;;
  --width) width=$2; shift 2 ;;
  --height) height=$2; shift 2 ;;
  --build) build=$2; shift 2 ;;
  --help) usage; exit 0 ;;
  *) echo "bench: unknown option '$1'" >&2; usage >&2; exit 2 ;;
  esac
done
if ((height % 2)); then
  echo "bench: the height must be even (libx264 with yuv420p refuses odd sizes)" >&2
  exit 2
fi

zev_cli="$build/bin/zev-cli"
if [ ! -x "$zev_cli" ]; then
  echo "bench: $zev_cli not found; build first with: bash scripts/setup.sh" >&2
  exit 1
fi
if [ ! -x /usr/bin/time ]; then
  echo "bench: /usr/bin/time is missing; bash scripts/setup.sh installs it (package time)" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/zev-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
frames="$work/frames"
# The scratch folders follow TMPDIR, the run logs XDG_STATE_HOME and the
# cache XDG_CACHE_HOME: keep them in the work folder as well.
export TMPDIR="$work/tmp" XDG_STATE_HOME="$work/state" XDG_CACHE_HOME="$work/cache"
mkdir -p "$TMPDIR"

fps=25
preset=high
bitrate=1100k # what the preset gives
express_options="--layout mask-bottom --mask-size half"

echo "bench: making $count frames of ${width}x${height} ..."
echo "bench: load average before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
"$here/scripts/make-sample-frames.sh" "$frames" "$count" "$width" "$height"

# Sums the resident memory of a process and all its descendants (kB).
tree_rss() {
  ps -eo pid=,ppid=,rss= | awk -v root="$1" '
    { parent[$1] = $2; rss[$1] = $3 }
    END {
      member[root] = 1
      for (grew = 1; grew;) {
        grew = 0
        for (pid in parent)
          if (!(pid in member) && (parent[pid] in member)) { member[pid] = 1; grew = 1 }
      }
      for (pid in member) total += rss[pid]
      print total + 0
    }'
}

# measure NAME COMMAND… : runs the command under /usr/bin/time while sampling
# its process tree's memory every 100 ms; records wall seconds, the CPU
# seconds of the whole tree (user + system, children included), the largest
# single process's peak RSS (from time) and the sampled peak of the tree.
declare -A wall cpu largest tree
measure() {
  local name=$1
  shift
  local log="$work/$name.log" timing="$work/$name.time" peak=0 now pid status=0
  /usr/bin/time -f '%e %M %U %S' -o "$timing" "$@" >"$log" 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    now=$(tree_rss "$pid")
    ((now > peak)) && peak=$now
    sleep 0.1
  done
  wait "$pid" || status=$?
  if ((status != 0)); then
    echo "bench: $name failed (status $status):" >&2
    cat "$log" >&2
    exit 1
  fi
  local user system
  read -r wall["$name"] largest["$name"] user system < <(tail -n 1 "$timing")
  cpu["$name"]=$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')
  tree["$name"]=$peak
}

echo "bench: zev-cli full run ..."
measure full "$zev_cli" --fps "$fps" --preset "$preset" "$frames"
cp "$frames/output/zev.mp4" "$work/zev-full.mp4"
cp "$XDG_STATE_HOME/zev/last-run.log" "$work/full-run.log"
echo "bench: zev-cli cache run ..."
measure cache "$zev_cli" --cache --fps "$fps" --preset "$preset" "$frames"
echo "bench: zev-cli express run ..."
measure express "$zev_cli" --express --fps "$fps" --preset "$preset" "$frames"
cp "$frames/output/zev.mp4" "$work/zev-express.mp4"
echo "bench: zev-cli express run with options ($express_options) ..."
# shellcheck disable=SC2086 # the options are several words on purpose
measure options "$zev_cli" --express $express_options --fps "$fps" --preset "$preset" "$frames"
echo "bench: FFmpeg reference ..."
# Mask: the alpha plane as grey. Colour on black: premultiplying by alpha is
# exactly laying the colour onto black. Both as planar RGB, side by side.
measure reference ffmpeg -nostdin -y -framerate "$fps" -start_number 0 -i "$frames/%d.png" \
  -filter_complex "[0:v]format=rgba,split[a][c];[a]alphaextract,format=gbrp[mask];[c]premultiply=inplace=1,format=gbrp[colour];[mask][colour]hstack=inputs=2" \
  -c:v libx264 -b:v "$bitrate" -r 25 -pix_fmt yuv420p "$work/reference.mp4"

# How closely two videos match, frame by frame (average PSNR in dB).
psnr_of() {
  ffmpeg -nostdin -i "$1" -i "$2" -lavfi "[0:v][1:v]psnr" -f null - 2>&1 |
    sed -n 's/.*PSNR.* average:\([0-9.inf]*\).*/\1/p' | tail -n 1
}
psnr=$(psnr_of "$work/zev-full.mp4" "$work/reference.mp4")
# The rewrite (the stream copy that writes the colour description and puts
# the index first) as the full run's log timed it: the run whose command
# line has the h264_metadata filter.
rewrite=$(awk '/^\$ .*h264_metadata/ { getline; sub(/.* after /, ""); print $1 + 0; exit }' \
  "$work/full-run.log")
psnr_express=$(psnr_of "$work/zev-express.mp4" "$work/zev-full.mp4")

cores=$(nproc)
echo
echo "$count frames of ${width}x${height}, $fps fps, $bitrate, $cores cores," \
  "load average after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-12s %9s %9s %9s %12s %10s %13s\n' run "wall s" "cpu s" "frames/s" "largest MiB" "tree MiB" \
  "vs reference"
for name in full cache express options reference; do
  awk -v name="$name" -v frames="$count" -v wall="${wall[$name]}" -v cpu="${cpu[$name]}" \
    -v largest="${largest[$name]}" -v tree="${tree[$name]}" -v reference="${wall[reference]}" 'BEGIN {
      printf "%-12s %9.2f %9.2f %9.1f %12.1f %10.1f %12.2fx\n", name, wall, cpu, frames / wall,
        largest / 1024, tree / 1024, wall / reference
    }'
done
echo
echo "wall s: elapsed time; cpu s: user + system seconds of the program and its children"
echo "  (less disturbed than wall time when other work shares the cores);"
echo "frames/s: frames converted per wall second."
echo "largest MiB: peak resident memory of the largest single process (GNU time, %M)."
echo "tree MiB: peak of the summed resident memory of the program and all its children,"
echo "  sampled every 100 ms (short-lived peaks between samples are missed)."
echo "vs reference: wall time divided by the reference's (below 1 is faster)."
echo "PSNR of zev's full-run video against the reference: ${psnr:-n/a} dB"
awk -v rewrite="${rewrite:-0}" -v full="${wall[full]}" 'BEGIN {
  printf "rewrite (colour description, index first): %.2f s, %.2f%% of the full run (goal: at most 2%%)\n",
    rewrite, 100 * rewrite / full
}'
echo
awk -v express="${wall[express]}" -v reference="${wall[reference]}" -v full="${wall[full]}" \
  -v expressCpu="${cpu[express]}" -v referenceCpu="${cpu[reference]}" -v fullCpu="${cpu[full]}" 'BEGIN {
  printf "express vs reference: %.2fx the reference'"'"'s wall time, %.2fx its cpu time (goal: at most 1.10x)\n",
    express / reference, expressCpu / referenceCpu
  printf "express vs full run:  %.1fx faster in wall time, %.1fx less cpu time (goal: at least 10x)\n",
    full / express, fullCpu / expressCpu
}'
echo "PSNR of the express video against the full-run video: ${psnr_express:-n/a} dB (goal: at least 40)"
awk -v options="${wall[options]}" -v reference="${wall[reference]}" -v optionsCpu="${cpu[options]}" \
  -v referenceCpu="${cpu[reference]}" -v chosen="$express_options" 'BEGIN {
  printf "express with %s vs reference: %.2fx its wall time, %.2fx its cpu time (goal: at most 1.10x)\n",
    chosen, options / reference, optionsCpu / referenceCpu
}'

