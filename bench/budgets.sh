#!/usr/bin/env bash
# Size budgets and quality targets on the made contents of bench/quality.sh
# (bench/make-content.sh): for each content, zev-cli --express --max-size at
# three budgets (half, three quarters and one and a half times the file the
# codec's usual CRF makes) and --quality at two targets, each target's video
# then measured by zev-cli --check. Prints one line per run: the file against
# the budget (at most the budget and within 5 % under it, or the refusal), or
# the figures --check gives against the target, with the CRF chosen and the
# number of trial encodes.
#
#   bench/budgets.sh [--frames N] [--size WxH] [--contents "gift ui hard"]
#                    [--targets "36 40"] [--codec CODEC] [--build DIR] [--keep DIR]
#
# Defaults: 30 frames of 320x180, the contents gift, ui and hard, targets
# 36 and 40 dB, H.264.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
count=30
size=320x180
contents="gift ui hard"
targets="36 40"
codec=h264
build="$here/build"
keep=""
usage() { sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
while (($#)); do
  case $1 in
  --frames) count=$2; shift 2 ;;
  --size) size=$2; shift 2 ;;
  --contents) contents=$2; shift 2 ;;
  --targets) targets=$2; shift 2 ;;
  --codec) codec=$2; shift 2 ;;
  --build) build=$2; shift 2 ;;
  --keep) keep=$2; shift 2 ;;
  *) usage ;;
  esac
done
zev_cli="$build/bin/zev-cli"
[ -x "$zev_cli" ] || { echo "budgets: $zev_cli not found; build first" >&2; exit 1; }
if [ -n "$keep" ]; then
  work=$keep
  mkdir -p "$work"
else
  work=$(mktemp -d "${TMPDIR:-/tmp}/zev-budgets-XXXXXX")
  trap 'rm -rf "$work"' EXIT
fi
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"
# output_video FOLDER: the video a run wrote there, MP4 or WebM.
output_video() {
  if [ -f "$1/output/zev.webm" ] && [ ! -f "$1/output/zev.mp4" ]; then echo "$1/output/zev.webm"; else echo "$1/output/zev.mp4"; fi
}

# json FIELD... : fields of the JSON object on standard input, space separated.
json() {
  python3 -c '
import json, sys
d = json.load(sys.stdin)
out = []
for path in sys.argv[1:]:
    v = d
    for key in path.split("."):
        v = v.get(key) if isinstance(v, dict) else None
    out.append("-" if v is None else str(v))
print(" ".join(out))' "$@"
}

printf '%-8s %-8s %10s %10s %9s %14s %6s %6s\n' content goal asked bytes under mask/colour crf trials
for content in $contents; do
  folder="$work/$content"
  [ -f "$folder/0.png" ] || "$here/bench/make-content.sh" "$content" "$folder" "$count" "$size"
  # The file at the codec's usual CRF (the colour of x264's 23, as --crf's help gives it)
  # sets the budgets.
  case $codec in h265) crf=25 ;; av1) crf=41 ;; vp9) crf=38 ;; *) crf=23 ;; esac
  "$zev_cli" --express --fps 25 --codec "$codec" --crf "$crf" "$folder" >/dev/null 2>&1
  usual=$(stat -c %s "$(output_video "$folder")")
  for share in 0.5 0.75 1.5; do
    budget=$(python3 -c "print(int($usual * $share))")
    line=$("$zev_cli" --express --fps 25 --codec "$codec" --max-size "$budget" --json "$folder" 2>/dev/null || true)
    read -r ok bytes crf trials reason <<<"$(json ok rateChoice.bytes rateChoice.setting rateChoice.trials reason <<<"$line")"
    if [ "$ok" = True ]; then
      under=$(python3 -c "print('%.1f %%' % (100 * (1 - $bytes / $budget)))")
      printf '%-8s %-8s %10s %10s %9s %14s %6s %6s\n' "$content" budget "$budget" "$bytes" "$under" - "$crf" "$trials"
    else
      printf '%-8s %-8s %10s refused: %s\n' "$content" budget "$budget" "$reason"
    fi
  done
  for target in $targets; do
    line=$("$zev_cli" --express --fps 25 --codec "$codec" --quality "$target" --json "$folder" 2>/dev/null || true)
    read -r ok bytes crf trials reason <<<"$(json ok rateChoice.bytes rateChoice.setting rateChoice.trials reason <<<"$line")"
    if [ "$ok" = True ]; then
      figures=$("$zev_cli" --check --json "$folder" | json mask.average colour.average | tr ' ' /)
      printf '%-8s %-8s %10s %10s %9s %14s %6s %6s\n' "$content" quality "$target dB" "$bytes" - "$figures" "$crf" "$trials"
    else
      printf '%-8s %-8s %10s refused: %s\n' "$content" quality "$target dB" "$reason"
    fi
  done
done
