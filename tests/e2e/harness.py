"""Drives the real gravefall binary on the X server in $DISPLAY, the way a user would: starts it,
finds its window, moves the pointer and presses keys with xdotool, reads the screen back.
The Windows tests under Wine build on the same pieces."""

import os
import subprocess
import tempfile
import time

from Xlib import X, display, protocol

BINARY = os.environ.get("GRAVEFALL_BINARY", "gravefall")


class Program:
    """One run of the binary, its output collected in a file (never a pipe it could block on)."""

    def __init__(self, *arguments, env=None, home=None, command=None, unset=()):
        self.output_file = tempfile.TemporaryFile()
        environment = dict(os.environ)
        if home is not None:
            environment["HOME"] = str(home)
            environment.pop("XDG_CONFIG_HOME", None)
            environment.pop("XDG_DATA_HOME", None)
        environment.update(env or {})
        for name in unset:
            environment.pop(name, None)
        # The sanitizer runs preload their runtime into the program alone.
        if os.environ.get("GRAVEFALL_PRELOAD"):
            environment["LD_PRELOAD"] = os.environ["GRAVEFALL_PRELOAD"]
        self.process = subprocess.Popen([*(command or [BINARY]), *arguments], stdin=subprocess.DEVNULL,
                                        stdout=self.output_file, stderr=subprocess.STDOUT, env=environment)

    def wait(self, timeout=20):
        return self.process.wait(timeout=timeout)

    def running(self):
        return self.process.poll() is None

    def output(self):
        self.output_file.seek(0)
        return self.output_file.read().decode("utf-8", "replace")

    def stop(self):
        if self.running():
            self.process.kill()
            self.process.wait()
        self.output_file.close()


def xdotool(*arguments):
    return subprocess.run(["xdotool", *map(str, arguments)], check=True, capture_output=True,
                          text=True).stdout


def find_window(title, timeout=30.0, poll=0.1):
    """The id of the viewable window with exactly this title, or None."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                               capture_output=True, text=True).stdout.split()
        if found:
            return int(found[0])
        time.sleep(poll)
    return None


class Screen:
    """The X display: window properties, pixels and the close request a window manager sends."""

    def __init__(self, name=None):
        self.display = display.Display(name)
        self.root = self.display.screen().root

    def close(self):
        self.display.close()

    def window(self, window_id):
        return self.display.create_resource_object("window", window_id)

    def geometry(self, window_id):
        """(x, y, width, height) of the window in root coordinates."""
        window = self.window(window_id)
        geometry = window.get_geometry()
        origin = window.translate_coords(self.root, 0, 0)
        return (-origin.x, -origin.y, geometry.width, geometry.height)

    def is_decorated(self, window_id):
        """Whether the window asks for a border through the Motif hints a borderless GLFW window sets."""
        atom = self.display.intern_atom("_MOTIF_WM_HINTS")
        hints = self.window(window_id).get_full_property(atom, X.AnyPropertyType)
        if hints is None:
            return True
        flags, _functions, decorations = hints.value[0], hints.value[1], hints.value[2]
        return not (flags & 2) or decorations != 0

    def request_close(self, window_id):
        """Sends WM_DELETE_WINDOW, as a window manager does when the user closes a window."""
        protocols = self.display.intern_atom("WM_PROTOCOLS")
        delete = self.display.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(window=self.window(window_id), client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        self.window(window_id).send_event(event, event_mask=X.NoEventMask)
        self.display.flush()

    def size(self):
        geometry = self.root.get_geometry()
        return geometry.width, geometry.height

    def pixels(self, x, y, width, height):
        """Rows of (r, g, b) tuples read back from the screen."""
        image = self.root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF)
        data = image.data
        stride = len(data) // height
        return [[(data[row * stride + 4 * col + 2], data[row * stride + 4 * col + 1],
                  data[row * stride + 4 * col]) for col in range(width)] for row in range(height)]

    def pixel(self, x, y):
        """(r, g, b) of the screen at (x, y)."""
        return self.pixels(x, y, 1, 1)[0][0]

    def sample_rows(self, rows, step):
        """For each y in rows, every step-th (r, g, b) pixel of that screen row, read one row at
        a time so that a sample of a large screen stays cheap."""
        width, _ = self.size()
        return {y: self.pixels(0, y, width, 1)[0][::step] for y in rows}


def free_display(first):
    """The first X display name from :first on that no server holds."""
    number = first
    while os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
        number += 1
    return f":{number}"


def start_server(command, name, timeout, what):
    """Starts an X server and waits until it answers; stops it and raises when it does not."""
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    environment = dict(os.environ, DISPLAY=name)
    deadline = time.monotonic() + timeout
    while subprocess.run(["xdpyinfo"], env=environment, capture_output=True).returncode != 0:
        if time.monotonic() > deadline or process.poll() is not None:
            stop_server(process)
            raise RuntimeError(f"{what} did not start")
        time.sleep(0.1)
    return process


def stop_server(process):
    if process is not None and process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class TwoMonitorServer:
    """An X server of its own with two 1280x720 monitors side by side (the dummy video driver):
    DUMMY0, the primary, at (0, 0) and DUMMY1 at (1280, 0). Started by start(), stopped by stop()."""

    CONFIG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "two_monitors.xorg.conf")

    def __init__(self):
        self.folder = tempfile.TemporaryDirectory()
        self.process = None
        self.name = None

    def start(self):
        self.name = free_display(140)
        self.process = start_server(["Xorg", self.name, "-config", self.CONFIG, "-noreset", "-nolisten", "tcp",
                                     "-logfile", os.path.join(self.folder.name, "xorg.log")],
                                    self.name, 30, "the dummy X server")
        environment = dict(os.environ, DISPLAY=self.name)
        for command in (["xrandr", "--addmode", "DUMMY1", "1280x720"],
                        ["xrandr", "--output", "DUMMY1", "--mode", "1280x720", "--right-of", "DUMMY0"]):
            subprocess.run(command, env=environment, check=True, capture_output=True)
        # The driver calls an output connected once it has a mode, but says so only after a probe
        # (a plain xrandr); until then a client reading the current state sees it disconnected.
        deadline = time.monotonic() + 30
        while "DUMMY1 connected" not in subprocess.run(["xrandr", "--current"], env=environment,
                                                       capture_output=True, text=True).stdout:
            if time.monotonic() > deadline:
                self.stop()
                raise RuntimeError("the dummy X server's second monitor did not come up")
            subprocess.run(["xrandr"], env=environment, capture_output=True)
            time.sleep(0.1)
        return self.name

    def stop(self):
        stop_server(self.process)
        self.folder.cleanup()


class VirtualServer:
    """A virtual X server (Xvfb) of its own, for a test whose clients grab input or change the
    server's settings. Started by start(), which returns its name; stopped by stop()."""

    def __init__(self, size="1280x720"):
        self.size = size
        self.process = None

    def start(self):
        name = free_display(160)
        self.process = start_server(["Xvfb", name, "-screen", "0", f"{self.size}x24", "-nolisten", "tcp"],
                                    name, 20, "Xvfb")
        return name

    def stop(self):
        stop_server(self.process)
