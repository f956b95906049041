#!/usr/bin/env bash
# Takes docs/window-light.png, docs/window-dark.png and docs/window-busy.png:
# the window in the light and the dark appearance, and busy with its overlay
# while it converts a folder of sample frames. Each is shown on a virtual X
# server (Xvfb) and grabbed from its screen with ImageMagick. The appearance
# is forced with ZEV_APPEARANCE; the start button is pressed through the X
# server's XTEST extension, as a user's click would.
#
#   scripts/screenshot-appearance.sh [build-folder]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$here/build"}
build=$(cd "$build" && pwd)

# Clicks at x y on the X display with XTEST, through ctypes: no extra package.
click() {
  python3 - "$1" "$2" <<'PY'
import ctypes, sys
x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("no X display")
xtst.XTestFakeMotionEvent(display, -1, int(sys.argv[1]), int(sys.argv[2]), 0)
xtst.XTestFakeButtonEvent(display, 1, 1, 0)
xtst.XTestFakeButtonEvent(display, 1, 0, 50)
x11.XFlush(display)
x11.XCloseDisplay(display)
PY
}

# Width and height of the ZEV window, from the X server's window tree.
window_size() {
  # Qt keeps small helper windows of the same title; the real one has the
  # program's window class.
  xwininfo -root -tree | awk '/"ZEV": \("zev"/ {
    for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) { split($i, s, /[x+]/); print s[1], s[2]; exit } }'
}

# Runs inside xvfb-run: one picture per run of the window.
if [ "${ZEV_SCREENSHOT_INSIDE:-}" = 1 ]; then
  out=$ZEV_SCREENSHOT_DIR
  for mode in Light Dark; do
    ZEV_APPEARANCE=$mode "$build/bin/zev" &
    pid=$!
    sleep 3
    import -window root "$out/${mode,,}.png"
    kill "$pid"
    wait "$pid" || true
  done

  # Busy: enough large frames to keep the conversion going for a while.
  frames="$out/sample-frames"
  "$here/scripts/make-sample-frames.sh" "$frames" 200 960 540 >/dev/null
  ZEV_APPEARANCE=Light TMPDIR="$out" "$build/bin/zev" "$frames" &
  pid=$!
  sleep 3
  read -r width height < <(window_size)
  # The start button spans the bottom of the window, 24 px above its edge
  # and 44 px tall.
  click $((width / 2)) $((height - 24 - 22))
  # Long enough for the bar to move and the time left to settle.
  sleep 14
  import -window root "$out/busy.png"
  kill "$pid"
  wait "$pid" || true
  exit 0
fi

work=$(mktemp -d --tmpdir zev-screenshots.XXXXXX)
trap 'rm -rf "$work"' EXIT
ZEV_SCREENSHOT_INSIDE=1 ZEV_SCREENSHOT_DIR="$work" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build"

# Without a window manager the window sits alone at the top left of a black
# screen; cutting the black away leaves exactly the window.
mkdir -p "$here/docs"
for shot in light dark busy; do
  convert-im6.q16 "$work/$shot.png" -trim +repage "$here/docs/window-$shot.png"
  echo "wrote $here/docs/window-$shot.png"
done
