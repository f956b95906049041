"""Drives a headless Chromium through the DevTools protocol over a pipe.

Only the standard library: the browser reads commands on its file descriptor
3 and writes answers and events on 4, each a JSON text ended by a NUL byte.
A pipe rather than a port, so nothing else on the machine can reach the
browser and no port can be taken.
"""

import base64
import json
import os
import select
import subprocess
import time


class BrowserUnavailable(Exception):
    """Chromium is missing or cannot start here: the test is skipped."""


class BrowserFailure(Exception):
    """Chromium started but did not do what was asked: the test fails."""


# The switches that make a headless run quiet, reproducible and network-free
# except for the page's own server on 127.0.0.1. WebGL comes from SwiftShader,
# the CPU renderer, so it works on machines without a GPU.
CHROMIUM_SWITCHES = [
    "--headless",
    "--no-sandbox",
    "--use-angle=swiftshader",
    "--enable-unsafe-swiftshader",
    "--disable-quic",
    "--no-first-run",
    "--no-default-browser-check",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--disable-extensions",
    "--hide-scrollbars",
    "--force-device-scale-factor=1",
    "--force-color-profile=srgb",
    "--mute-audio",
    # Containers often give /dev/shm only a few megabytes.
    "--disable-dev-shm-usage",
    "--remote-debugging-pipe",
]


class ChromiumPage:
    def __init__(self, executable, profile_folder, log_file):
        # Everything the browser writes (profile, certificate store, caches)
        # stays in the profile folder, not in the user's home.
        home = os.path.join(profile_folder, "home")
        os.makedirs(home, exist_ok=True)
        environment = {**os.environ, "HOME": home, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                       "XDG_CACHE_HOME": os.path.join(home, ".cache")}
        command_read, command_write = os.pipe()
        answer_read, answer_write = os.pipe()

        def hand_over_pipes():
            # dup2 leaves the copies inheritable; every other descriptor of
            # ours is close-on-exec.
            os.dup2(command_read, 3)
            os.dup2(answer_write, 4)

        try:
            self.process = subprocess.Popen(
                [executable, *CHROMIUM_SWITCHES, f"--user-data-dir={profile_folder}", "about:blank"],
                stdin=subprocess.DEVNULL,
                stdout=log_file,
                stderr=log_file,
                env=environment,
                close_fds=False,
                preexec_fn=hand_over_pipes,
            )
        except OSError as error:
            raise BrowserUnavailable(f"{executable} cannot be started: {error}") from error
        finally:
            os.close(command_read)
            os.close(answer_write)
        self.commands = command_write
        self.answers = answer_read
        self.pending = b""
        self.next_id = 0
        self.session = None
        self.console = []

    def close(self):
        if self.process.poll() is None:
            try:
                self.send("Browser.close", timeout=5, in_session=False)
            except (BrowserFailure, BrowserUnavailable):
                pass
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        os.close(self.commands)
        os.close(self.answers)

    def open_page(self, start_timeout=30):
        """Attaches to the first tab; a browser that never answers is taken
        as one that cannot start here."""
        try:
            targets = self.send("Target.getTargets", timeout=start_timeout, in_session=False)
        except BrowserFailure as error:
            raise BrowserUnavailable(f"Chromium did not answer: {error}") from error
        page = next((t for t in targets["targetInfos"] if t["type"] == "page"), None)
        if page is None:
            created = self.send("Target.createTarget", {"url": "about:blank"}, in_session=False)
            target_id = created["targetId"]
        else:
            target_id = page["targetId"]
        attached = self.send("Target.attachToTarget", {"targetId": target_id, "flatten": True},
                             in_session=False)
        self.session = attached["sessionId"]
        self.send("Runtime.enable")
        self.send("Page.enable")

    def set_viewport(self, width, height):
        self.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})

    def navigate(self, url):
        answer = self.send("Page.navigate", {"url": url})
        if answer.get("errorText"):
            raise BrowserFailure(f"{url}: {answer['errorText']}")

    def evaluate(self, expression):
        answer = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True})
        if "exceptionDetails" in answer:
            raise BrowserFailure(f"{expression}: {answer['exceptionDetails'].get('text')}")
        return answer["result"].get("value")

    def wait_for_title(self, accepted, timeout):
        """Polls document.title until it starts with one of the accepted
        words; the page sets it when it is done, either way."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            title = self.evaluate("document.title") or ""
            if any(title.startswith(word) for word in accepted):
                return title
            time.sleep(0.1)
        raise BrowserFailure(f"the page did not finish within {timeout} s (title {title!r})")

    def screenshot_png(self):
        answer = self.send("Page.captureScreenshot", {"format": "png", "fromSurface": True})
        return base64.b64decode(answer["data"])

    # --- the protocol ---------------------------------------------------------

    def send(self, method, params=None, timeout=30, in_session=True):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if in_session:
            message["sessionId"] = self.session
        try:
            os.write(self.commands, json.dumps(message).encode() + b"\0")
        except BrokenPipeError as error:
            raise BrowserUnavailable("Chromium has exited") from error
        deadline = time.monotonic() + timeout
        while True:
            answer = self._read_message(deadline, method)
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise BrowserFailure(f"{method}: {answer['error'].get('message')}")
                return answer.get("result", {})
            self._note_event(answer)

    def _read_message(self, deadline, waiting_for):
        while b"\0" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0:
                raise BrowserFailure(f"no answer to {waiting_for}")
            readable, _, _ = select.select([self.answers], [], [], left)
            if not readable:
                continue
            chunk = os.read(self.answers, 1 << 20)
            if not chunk:
                raise BrowserUnavailable(
                    f"Chromium has exited (status {self.process.wait()}) while waiting for {waiting_for}")
            self.pending += chunk
        message, _, self.pending = self.pending.partition(b"\0")
        return json.loads(message)

    def _note_event(self, event):
        # Kept to explain a failure: the page's console and its uncaught errors.
        method = event.get("method")
        params = event.get("params", {})
        if method == "Runtime.consoleAPICalled":
            text = " ".join(str(arg.get("value", arg.get("description", ""))) for arg in params["args"])
            self.console.append(f"console.{params['type']}: {text}")
        elif method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            description = details.get("exception", {}).get("description", details["text"])
            self.console.append(f"uncaught: {description}")
