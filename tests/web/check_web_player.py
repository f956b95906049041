#!/usr/bin/env python3
"""The web player in a real browser.

Makes a short transparent animation, packs it into ZEV videos of several
layouts, serves a page that shows each video with <zev-video> over black,
white and a colour, lets headless Chromium seek every element to one known
frame and draw it, and compares the screenshot with the source frame
composited over the same backgrounds. From the pictures over black and over
white the mask and the premultiplied colour the browser showed are worked
out separately, so a fault in either is named.

    check_web_player.py --zev-cli build/bin/zev-cli [--source-dir .] [--keep FOLDER]

Exit status 0 when every figure is within its threshold, 1 when one is not
or the page failed, 77 when no Chromium can start here (the test is then
skipped).
"""

import argparse
import functools
import http.server
import json
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

# Nothing written into the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from chromium_page import BrowserFailure, BrowserUnavailable, ChromiumPage  # noqa: E402

SKIPPED = 77
WIDTH, HEIGHT, FRAMES, FPS = 64, 48, 12, 25
# Frame 10: its halo touches the frame's top edge at the left, which a
# half-size mask above the colour would take in if read across the seam. It
# is sought to the middle of its display time, so no rounding of the position
# can land on a neighbour.
SHOWN = 10
SHOWN_AT = (SHOWN + 0.5) / FPS
RATE = "1100k"  # zev-cli's default preset

# The page's backgrounds: black and white give the mask and the colour apart,
# the third is the coloured page a user would put the animation on.
BACKGROUNDS = {"black": (0, 0, 0), "white": (255, 255, 255), "page": (48, 112, 192)}
READY_BACKGROUND = (128, 128, 128)

# Lowest PSNR (dB) accepted between what the browser shows and the source
# frame. The videos carry the animation at 1100 kbit/s, so what is lost is
# codec noise, strongest on the mask's soft edge; a wrong layout, straight
# colour shown as premultiplied, a frame off by one or a missing draw each
# cost far more (see the report's "next frame"). A half-size mask loses more
# to its scaling.
THRESHOLDS = {"mask": 45.0, "colour": 40.0, "page": 40.0}
HALF_MASK_THRESHOLDS = {"mask": 33.0, "colour": 40.0, "page": 36.0}

# The mask's outer rows or columns on the side that faces the colour, where a
# sampler reading across the region's edge would take in the colour: the
# mask's largest error there stays small.
SEAM = 2
MAX_SEAM_ERROR = 6

def rect(x, y, width, height):
    return {"x": x, "y": y, "width": width, "height": height}


# Each video: the zev-cli options that make it (zev-cli also writes its
# zev.json), or an ffmpeg graph and a description written here, and the
# attributes <zev-video> gets.
CASES = [
    {
        "id": "mask-left",
        "layout": "mask-left",
        "zev_cli": [],
        "attributes": {"src": "mask-left/zev.mp4"},
    },
    {
        "id": "mask-bottom",
        "layout": "mask-bottom",
        "zev_cli": ["--layout", "mask-bottom"],
        "attributes": {"description": "mask-bottom/zev.json"},
    },
    {
        # The exact halves without a description: the attributes say it all.
        "id": "mask-right-straight",
        "layout": "mask-right",
        "zev_cli": ["--layout", "mask-right", "--colour", "straight"],
        "attributes": {"src": "mask-right-straight/zev.mp4", "layout": "mask-right",
                       "premultiplied": "false"},
    },
    {
        "id": "mask-top-half",
        "layout": "mask-top",
        "zev_cli": ["--layout", "mask-top", "--mask-size", "half"],
        "attributes": {"description": "mask-top-half/zev.json"},
        "thresholds": HALF_MASK_THRESHOLDS,
    },
    {
        # AV1 in MP4, stacked as the web components for stacked alpha video
        # take it, found through the description.
        "id": "av1-mask-bottom",
        "layout": "mask-bottom",
        "zev_cli": ["--codec", "av1", "--layout", "mask-bottom"],
        "attributes": {"description": "av1-mask-bottom/zev.json"},
    },
    {
        # AV1 in WebM, the default layout, from its src alone.
        "id": "av1-webm",
        "layout": "mask-left",
        "zev_cli": ["--codec", "av1", "--container", "webm"],
        "attributes": {"src": "av1-webm/zev.webm"},
    },
    {
        # VP9 in WebM with straight colour and the mask right, as the
        # visual-novel engines read it; the description names zev.webm.
        "id": "vp9-side-mask",
        "layout": "mask-right",
        "zev_cli": ["--codec", "vp9", "--layout", "mask-right", "--colour", "straight"],
        "attributes": {"description": "vp9-side-mask/zev.json"},
    },
    {
        # A half-size mask right against the colour, which zev-cli never
        # makes (it keeps the regions apart) but a description may say: the
        # shown frame's top row is bright, so a mask sampled across the seam
        # would take it in.
        "id": "mask-top-half-touching",
        "layout": "mask-top",
        "graph": ("format=rgba,split[c][m];[c]premultiply=inplace=1,format=gbrp[colour];"
                  f"[m]alphaextract,format=gbrp,scale={WIDTH // 2}:{HEIGHT // 2},"
                  f"pad={WIDTH}:{HEIGHT // 2}:0:0:black[mask];[mask][colour]vstack"),
        "description": {
            "layout": "mask-top", "maskSize": "half", "gap": 0, "premultiplied": True,
            "width": WIDTH, "height": HEIGHT // 2 + HEIGHT,
            "colourRect": rect(0, HEIGHT // 2, WIDTH, HEIGHT),
            "maskRect": rect(0, 0, WIDTH // 2, HEIGHT // 2),
        },
        "attributes": {"description": "mask-top-half-touching/zev.json"},
        "thresholds": HALF_MASK_THRESHOLDS,
    },
]

# Chromium keeps at most 16 WebGL contexts alive at once and drops the
# oldest beyond that, so the cases are shown a few at a time: each page
# holds at most five cases over three backgrounds, and the first page the
# element that plays on its own.
CASES_PER_PAGE = 5
PAGES = [CASES[i:i + CASES_PER_PAGE] for i in range(0, len(CASES), CASES_PER_PAGE)]

MARGIN = 8
CELL_X = WIDTH + 16
CELL_Y = HEIGHT + 16


class Picture:
    """An image's pixels as RGBA bytes, decoded by ffmpeg."""

    def __init__(self, path, width, height):
        self.width = width
        self.rgba = subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-i", path, "-f", "rawvideo",
                                    "-pix_fmt", "rgba", "pipe:1"], check=True, capture_output=True).stdout
        if len(self.rgba) != 4 * width * height:
            raise ValueError(f"{path} is not {width}×{height}")

    def pixel(self, x, y):
        at = 4 * (y * self.width + x)
        return tuple(self.rgba[at:at + 4])


def run(command, **options):
    result = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, text=True, **options)
    if result.returncode != 0:
        raise RuntimeError(f"{command[0]} failed ({result.returncode}): {result.stderr.strip()}")
    return result.stdout


def make_videos(source_dir, zev_cli, work, site):
    frames = os.path.join(work, "frames")
    run(["bash", os.path.join(source_dir, "scripts", "make-sample-frames.sh"), frames,
         str(FRAMES), str(WIDTH), str(HEIGHT)])
    for case in CASES:
        folder = os.path.join(site, case["id"])
        os.makedirs(folder)
        video = os.path.join(folder, "zev.mp4")
        if "zev_cli" in case:
            # zev-cli writes into the frame folder; read at the video's own
            # rate, every frame is one video frame.
            run([zev_cli, "--express", "--fps", str(FPS), *case["zev_cli"], frames])
            for name in ("zev.mp4", "zev.webm", "zev.json"):
                if os.path.exists(os.path.join(frames, "output", name)):
                    shutil.move(os.path.join(frames, "output", name), os.path.join(folder, name))
        else:
            run(["ffmpeg", "-nostdin", "-v", "error", "-y", "-framerate", str(FPS), "-start_number", "0",
                 "-i", os.path.join(frames, "%d.png"), "-filter_complex", case["graph"],
                 "-c:v", "libx264", "-b:v", RATE, "-pix_fmt", "yuv420p", "-r", str(FPS), video])
        if "description" in case:
            write_description(case["description"], os.path.join(folder, "zev.json"))
    return frames


def write_description(regions, path):
    description = {
        "format": "zev", "version": 1, "video": "zev.mp4",
        "source": {"width": WIDTH, "height": HEIGHT}, "frame": {"width": WIDTH, "height": HEIGHT},
        **regions,
        "frames": FRAMES, "inputFps": FPS, "outputFps": FPS,
        "codec": "h264", "pixelFormat": "yuv420p",
    }
    with open(path, "w", encoding="utf-8") as file:
        json.dump(description, file, indent=2)


def layout_page(site, source_dir, number, cases):
    """Writes cases-<number>.json for one page; answers its elements."""
    shutil.copy(os.path.join(source_dir, "players", "web", "zev-video.js"), site)
    shutil.copy(os.path.join(source_dir, "tests", "web", "page.html"), os.path.join(site, "index.html"))
    elements = []
    for row, case in enumerate(cases):
        for column, (name, colour) in enumerate(BACKGROUNDS.items()):
            elements.append({
                "id": f"{case['id']}-{name}", "case": case["id"], "background_name": name,
                "x": MARGIN + column * CELL_X, "y": MARGIN + row * CELL_Y, "width": WIDTH, "height": HEIGHT,
                "background": "#%02x%02x%02x" % colour,
                "attributes": {**case["attributes"], "muted": "", "preload": "auto"},
            })
    # One more, playing on its own: it must draw new frames and loop. Its
    # pixels are not compared, it is paused wherever it stands.
    if number == 0:
        elements.append({
            "id": "playing", "case": None, "play": True,
            "x": MARGIN + len(BACKGROUNDS) * CELL_X, "y": MARGIN, "width": WIDTH, "height": HEIGHT,
            "background": "transparent",
            "attributes": {"src": "mask-left/zev.mp4", "autoplay": "", "loop": "", "muted": ""},
        })
    with open(os.path.join(site, f"cases-{number}.json"), "w", encoding="utf-8") as file:
        json.dump({"time": SHOWN_AT, "frameStart": SHOWN / FPS, "elements": elements}, file, indent=2)
    return elements


class RangeHandler(http.server.SimpleHTTPRequestHandler):
    """Serves byte ranges: Chromium counts a video served without them as not
    seekable and leaves a seek at 0."""

    def send_head(self):
        requested = re.fullmatch(r"bytes=(\d+)-(\d*)", self.headers.get("Range", ""))
        path = self.translate_path(self.path)
        if not requested or not os.path.isfile(path):
            return super().send_head()
        size = os.path.getsize(path)
        first = int(requested[1])
        last = min(int(requested[2]), size - 1) if requested[2] else size - 1
        if first > last:
            self.send_error(416)
            return None
        file = open(path, "rb")
        file.seek(first)
        self.send_response(206)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Range", f"bytes {first}-{last}/{size}")
        self.send_header("Content-Length", str(last - first + 1))
        self.send_header("Accept-Ranges", "bytes")
        self.end_headers()
        return _Slice(file, last - first + 1)

    def end_headers(self):
        if self.headers.get("Range") is None:
            self.send_header("Accept-Ranges", "bytes")
        super().end_headers()

    def log_message(self, format, *args):
        pass


class _Slice:
    """The part of a file a range asks for, read as copyfile reads a file."""

    def __init__(self, file, length):
        self.file = file
        self.left = length

    def read(self, size=-1):
        size = self.left if size < 0 else min(size, self.left)
        data = self.file.read(size)
        self.left -= len(data)
        return data

    def close(self):
        self.file.close()


def serve(site):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                             functools.partial(RangeHandler, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def find_chromium():
    named = os.environ.get("ZEV_CHROMIUM")
    if named:
        return named
    for name in ("chromium", "chromium-browser", "google-chrome"):
        found = shutil.which(name)
        if found:
            return found
    return None


def start_browser(chromium, work, log):
    """A browser with one tab attached, or BrowserUnavailable. Started before
    anything else, so a machine without one skips at once."""
    page = ChromiumPage(chromium, os.path.join(work, "profile"), log)
    try:
        page.open_page()
    except BrowserUnavailable as reason:
        page.close()
        log.flush()
        with open(log.name, encoding="utf-8", errors="replace") as file:
            said = [line.strip() for line in file if line.strip()]
        raise BrowserUnavailable(f"{reason}{'; it said: ' + said[-1] if said else ''}") from None
    return page


def take_screenshot(page, url, viewport):
    page.set_viewport(*viewport)
    page.navigate(url)
    title = "(none)"
    try:
        title = page.wait_for_title(("ready", "failed"), timeout=60)
    finally:
        if title != "ready":
            print("\n".join(page.console), file=sys.stderr)
    if title != "ready":
        raise BrowserFailure(f"the page says {title}")
    return page.screenshot_png()


def on_seam(layout, x, y):
    """Whether the frame's pixel (x, y) is read from next to the colour."""
    return {
        "mask-left": x >= WIDTH - SEAM,
        "mask-right": x < SEAM,
        "mask-top": y >= HEIGHT - SEAM,
        "mask-bottom": y < SEAM,
    }[layout]


def compare(shot, source, cells, layout):
    """Squared and largest errors of the mask, the premultiplied colour and
    the picture over the page colour, against the source frame."""
    errors = {"mask": [], "colour": [], "page": [], "seam": []}
    page_colour = BACKGROUNDS["page"]
    for y in range(HEIGHT):
        for x in range(WIDTH):
            r, g, b, a = source.pixel(x, y)
            opacity = a / 255
            premultiplied = (r * opacity, g * opacity, b * opacity)
            over_black = shot.pixel(cells["black"][0] + x, cells["black"][1] + y)
            over_white = shot.pixel(cells["white"][0] + x, cells["white"][1] + y)
            over_page = shot.pixel(cells["page"][0] + x, cells["page"][1] + y)
            # Over black the picture is colour × alpha; over white it adds
            # 255 × (1 - alpha).
            seen_alpha = 255 - sum(over_white[i] - over_black[i] for i in range(3)) / 3
            errors["mask"].append(seen_alpha - a)
            if on_seam(layout, x, y):
                errors["seam"].append(seen_alpha - a)
            for i in range(3):
                errors["colour"].append(over_black[i] - premultiplied[i])
                expected = premultiplied[i] + page_colour[i] * (1 - opacity)
                errors["page"].append(over_page[i] - expected)
    return {name: figures(values) for name, values in errors.items()}


def figures(errors):
    mse = sum(e * e for e in errors) / len(errors)
    psnr = math.inf if mse == 0 else 10 * math.log10(255 * 255 / mse)
    return {"psnr": psnr, "max": max(abs(e) for e in errors)}


def main():
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument("--zev-cli", required=True)
    arguments.add_argument("--source-dir", default=os.path.join(os.path.dirname(__file__), "..", ".."))
    arguments.add_argument("--keep", help="work in this folder and leave it behind")
    options = arguments.parse_args()
    source_dir = os.path.abspath(options.source_dir)
    started = time.monotonic()

    chromium = find_chromium()
    if chromium is None:
        print("SKIP: no Chromium here (install the chromium package, or name one in ZEV_CHROMIUM)")
        return SKIPPED

    work = options.keep or tempfile.mkdtemp(prefix="zev-web-")
    os.makedirs(work, exist_ok=True)
    site = os.path.join(work, "site")
    shutil.rmtree(site, ignore_errors=True)
    os.makedirs(site)
    server = None
    page = None
    log = open(os.path.join(work, "chromium.log"), "w", encoding="utf-8")
    try:
        try:
            page = start_browser(chromium, work, log)
        except BrowserUnavailable as reason:
            print(f"SKIP: Chromium cannot start here: {reason}")
            started = None
            return SKIPPED
        frames = make_videos(source_dir, options.zev_cli, work, site)
        server = serve(site)
        viewport = (2 * MARGIN + (len(BACKGROUNDS) + 1) * CELL_X, 2 * MARGIN + CASES_PER_PAGE * CELL_Y)
        failed = False
        for number, cases in enumerate(PAGES):
            elements = layout_page(site, source_dir, number, cases)
            url = f"http://127.0.0.1:{server.server_address[1]}/index.html?cases=cases-{number}.json"
            png = take_screenshot(page, url, viewport)
            screenshot = os.path.join(work, f"screenshot-{number}.png")
            if number == 0:
                playback = page.evaluate("window.playback")
                events = ", ".join(playback["events"])
                print(f"{'playing':24} {playback['frames']} frames drawn, looped; events {events}")
            with open(screenshot, "wb") as file:
                file.write(png)
            failed |= judge(Picture(screenshot, *viewport), frames, elements, cases)
        print("FAIL" if failed else "PASS")
        return 1 if failed else 0
    except (BrowserFailure, BrowserUnavailable, RuntimeError, ValueError,
            subprocess.CalledProcessError) as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    finally:
        if page:
            page.close()
        log.close()
        if server:
            server.shutdown()
        if started is not None:
            print(f"({time.monotonic() - started:.1f} s, {FRAMES} frames of {WIDTH}×{HEIGHT}, "
                  f"frame {SHOWN} shown)")
        if not options.keep:
            shutil.rmtree(work, ignore_errors=True)


def judge(shot, frames, elements, cases):
    """Prints each case's figures; answers whether one fell short."""
    # A background pixel the page turns grey only once every frame is drawn.
    if shot.pixel(1, 1)[:3] != READY_BACKGROUND:
        print(f"FAIL: the screenshot was taken before the page was ready ({shot.pixel(1, 1)})")
        return True
    source = Picture(os.path.join(frames, f"{SHOWN}.png"), WIDTH, HEIGHT)
    next_source = Picture(os.path.join(frames, f"{SHOWN + 1}.png"), WIDTH, HEIGHT)
    failed = False
    for case in cases:
        cells = {e["background_name"]: (e["x"], e["y"]) for e in elements if e["case"] == case["id"]}
        result = compare(shot, source, cells, case["layout"])
        next_frame = compare(shot, next_source, cells, case["layout"])["page"]["psnr"]
        thresholds = case.get("thresholds", THRESHOLDS)
        line = []
        for name in ("mask", "colour", "page"):
            figure = result[name]
            ok = figure["psnr"] >= thresholds[name]
            failed |= not ok
            line.append(f"{name} {figure['psnr']:.1f} dB (max error {figure['max']:.0f})"
                        + ("" if ok else f" < {thresholds[name]:.0f} dB"))
        seam = result["seam"]["max"]
        failed |= seam > MAX_SEAM_ERROR
        line.append(f"mask at the seam max error {seam:.0f}" + ("" if seam <= MAX_SEAM_ERROR else
                                                               f" > {MAX_SEAM_ERROR}"))
        print(f"{case['id']:24} " + ", ".join(line) + f"; next frame {next_frame:.1f} dB")
    return failed


if __name__ == "__main__":
    sys.exit(main())
