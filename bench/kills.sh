#!/usr/bin/env bash
# Kills zev-cli at random moments, with SIGKILL or SIGHUP, while it converts
# small frame folders with either pipeline, and reports what outlived it:
# how long its tools (convert, ffmpeg) ran on after the kill, and what stayed
# on disk (run scratch folders, express link folders, temporary videos)
# after all the kills and again after one more finished run of every folder.
#
#   bench/kills.sh [--runs N] [--folders N] [--frames N] [--width W]
#                  [--height H] [--build DIR]
#
# Defaults: 100 runs over 4 folders of 40 frames of 160x90, killed 0-2 s
# after they start, the build in build/. Everything lives in a temporary
# folder that is removed at the end.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=100
folders=4
count=40
width=160
height=90
build="$here/build"

usage() { sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; }
while (($#)); do
  case $1 in
  --runs) runs=$2; shift 2 ;;
  --folders) folders=$2; shift 2 ;;
  --frames) count=$2; shift 2 ;;
  --width) width=$2; shift 2 ;;
  --height) height=$2; shift 2 ;;
  --build) build=$2; shift 2 ;;
  --help) usage; exit 0 ;;
  *) echo "kills: unknown option '$1'" >&2; usage >&2; exit 2 ;;
  esac
done

zev_cli="$build/bin/zev-cli"
if [ ! -x "$zev_cli" ]; then
  echo "kills: $zev_cli not found; build first with: bash scripts/setup.sh" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/zev-kills-XXXXXX")
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work/tmp" XDG_CACHE_HOME="$work/cache" XDG_STATE_HOME="$work/state"
mkdir -p "$TMPDIR"
scratch="$TMPDIR/zev-$(id -u)"

echo "kills: making $folders folders of $count frames of ${width}x${height} ..."
"$here/scripts/make-sample-frames.sh" "$work/frames-0" "$count" "$width" "$height" >/dev/null
for ((i = 1; i < folders; i++)); do
  cp -r "$work/frames-0" "$work/frames-$i"
done

# A process that has exited but is not yet reaped (its parent is gone) is
# dead: only a state other than Z counts as running.
running() { [ -r "/proc/$1/stat" ] && [ "$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)" != Z ]; }

# What stayed on disk: run folders, old-style link folders, temporary videos.
leftovers() {
  local runs_left links_left videos_left
  runs_left=$(find "$scratch" -mindepth 1 -maxdepth 1 -name 'run-*' 2>/dev/null | wc -l)
  links_left=$(find "$scratch" -mindepth 1 -maxdepth 2 -name 'express-*' 2>/dev/null | wc -l)
  videos_left=$(find "$work" -path '*/output/.zev-*' 2>/dev/null | wc -l)
  echo "$runs_left run folders, $links_left link folders, $videos_left temporary videos," \
    "$(du -sk "$scratch" 2>/dev/null | cut -f1) KiB in the scratch folder"
}

declare -A by_signal longest tools_seen left_folder left_video
outlived=0
for ((run = 0; run < runs; run++)); do
  folder="$work/frames-$((RANDOM % folders))"
  signal=$([ $((RANDOM % 2)) = 0 ] && echo KILL || echo HUP)
  mode=()
  [ $((RANDOM % 2)) = 0 ] && mode=(--express)
  delay=$(awk -v r="$RANDOM" 'BEGIN { printf "%.2f", r / 32767 * 2 }')
  "$zev_cli" "${mode[@]}" "$folder" >/dev/null 2>&1 &
  pid=$!
  sleep "$delay"
  tools=$(pgrep -P "$pid" || true)
  kill -s "$signal" "$pid" 2>/dev/null || true
  killed=$(date +%s.%N)
  wait "$pid" 2>/dev/null || true
  for tool in $tools; do
    tools_seen[$signal]=$((${tools_seen[$signal]:-0} + 1))
    while running "$tool"; do sleep 0.01; done
    lived=$(awk -v a="$killed" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }')
    if awk -v l="$lived" -v m="${longest[$signal]:-0}" 'BEGIN { exit !(l > m) }'; then longest[$signal]=$lived; fi
    if awk -v l="$lived" 'BEGIN { exit !(l > 1.0) }'; then outlived=$((outlived + 1)); fi
  done
  by_signal[$signal]=$((${by_signal[$signal]:-0} + 1))
  # What this run left, before the next run's sweep.
  if [ -n "$(find "$scratch" -mindepth 1 -maxdepth 1 -name 'run-*' 2>/dev/null)" ]; then
    left_folder[$signal]=$((${left_folder[$signal]:-0} + 1))
  fi
  if [ -n "$(find "$work" -path '*/output/.zev-*' 2>/dev/null)" ]; then
    left_video[$signal]=$((${left_video[$signal]:-0} + 1))
  fi
done
# Every tool of every run, including tools started after the snapshot.
stray=$(pgrep -f "$work/" || true)

echo
echo "$runs runs killed 0-2 s after they started,"
echo "  $folders folders of $count frames of ${width}x${height}, both pipelines at random"
for signal in KILL HUP; do
  echo "SIG$signal: ${by_signal[$signal]:-0} runs, ${tools_seen[$signal]:-0} tools running at the kill," \
    "the longest ran on ${longest[$signal]:-0} s after it; kills after which a scratch folder stood:" \
    "${left_folder[$signal]:-0}, a temporary video: ${left_video[$signal]:-0}"
done
echo "tools that ran on more than 1 s: $outlived"
echo "tools still running at the end: $(echo "$stray" | grep -c . || true)"
echo "left on disk after the kills:     $(leftovers)"
for ((i = 0; i < folders; i++)); do
  "$zev_cli" --express "$work/frames-$i" >/dev/null 2>&1 || echo "kills: the run of frames-$i after the kills failed" >&2
done
echo "left after one more run of each:  $(leftovers)"
echo "run logs kept: $(find "$XDG_STATE_HOME/zev/runs" -name '*.log' | wc -l)"
