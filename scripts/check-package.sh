#!/usr/bin/env bash
# Checks a zev .deb without installing it: unpacks it into a temporary root,
# checks its files and control fields, renders the manual page, converts a few
# sample frames with the unpacked zev-cli and, when xvfb-run is there, opens
# the unpacked window once. The programs find share/zev beside their own
# folder, so they run from the temporary root as they would from /usr.
#
#   scripts/check-package.sh DEB
set -euo pipefail

if (($# != 1)); then
  echo "usage: $0 DEB" >&2
  exit 2
fi
deb=$(realpath "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

dpkg-deb -x "$deb" "$root"
dpkg-deb -c "$deb" | awk '{print $NF}'

for program in usr/bin/zev usr/bin/zev-cli usr/share/zev/imageMagick/bin/convert usr/share/zev/ffmpeg/ffmpeg \
    usr/share/zev/ffmpeg/ffprobe; do
  if [ ! -x "$root/$program" ]; then
    fail "no program /$program"
  # Installed programs must not look for libraries in the build tree.
  elif readelf -d "$root/$program" | grep -qE 'R(UN)?PATH'; then
    fail "/$program carries an RPATH or RUNPATH"
  else
    pass "/$program"
  fi
done
for file in usr/share/zev/imageMagick/etc/policy.xml usr/share/applications/zev.desktop \
  usr/share/man/man1/zev-cli.1.gz; do
  if [ -s "$root/$file" ]; then pass "/$file"; else fail "no file /$file"; fi
done
# The web player goes in unchanged, beside its README.
for name in zev-video.js README.md; do
  if cmp -s "$here/players/web/$name" "$root/usr/share/zev/web/$name"; then
    pass "/usr/share/zev/web/$name"
  else
    fail "/usr/share/zev/web/$name is missing or not players/web/$name"
  fi
done

desktop=$root/usr/share/applications/zev.desktop
if [ -f "$desktop" ]; then
  grep -qE '^Exec=zev( %[fFuU])?$' "$desktop" || fail "the desktop entry does not start zev"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  if compgen -G "$root/usr/share/icons/hicolor/*/apps/$icon.png" >/dev/null; then
    pass "desktop entry's icon '$icon'"
  else
    fail "no icon '$icon' under /usr/share/icons/hicolor"
  fi
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate refuses the desktop entry"
  fi
fi

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(sed -e 's/([^)]*)//g' -e 's/[[:space:]]//g' -e 's/[,|]/\n/g' <<<"$depends")
for needed in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins imagemagick ffmpeg fonts-wqy-microhei; do
  grep -qx "$needed" <<<"$names" || fail "Depends does not name $needed"
done
if grep -E -- '-dev(-tools)?$' <<<"$names"; then
  fail "Depends names a development package"
fi

if page=$(MANWIDTH=80 man -l "$root/usr/share/man/man1/zev-cli.1.gz" 2>&1) &&
  grep -q '^NAME' <<<"$page" && grep -q 'zev-cli' <<<"$page"; then
  pass "man -l renders zev-cli.1 ($(wc -l <<<"$page") lines)"
else
  fail "man -l cannot render zev-cli.1: $page"
fi

frames=$work/frames
"$here/scripts/make-sample-frames.sh" "$frames" 12 64 48
if "$root/usr/bin/zev-cli" --fps 12 "$frames" >"$work/cli.out" 2>"$work/cli.err"; then
  # The mask and the colour side by side: twice the frames' width.
  size=$(ffprobe -v error -select_streams v:0 -show_entries stream=codec_name,width,height \
    -of csv=p=0 "$frames/output/zev.mp4" || true)
  if [ "$size" = "h264,128,48" ]; then
    pass "zev-cli wrote output/zev.mp4 ($size)"
  else
    fail "output/zev.mp4 is '$size', not h264 of 128x48"
  fi
else
  fail "zev-cli exited with $?: $(cat "$work/cli.out" "$work/cli.err")"
fi

if command -v xvfb-run >/dev/null; then
  if QT_QPA_PLATFORM=xcb timeout 60 xvfb-run -a -s "-screen 0 1280x800x24" \
    "$root/usr/bin/zev" --smoke-test; then
    pass "zev opened its window"
  else
    fail "zev --smoke-test did not paint its window"
  fi
else
  echo "skipped: zev --smoke-test (no xvfb-run)"
fi

if ((failures)); then
  echo "check-package: $failures check(s) failed for $deb" >&2
  exit 1
fi
echo "check-package: $deb passed"
