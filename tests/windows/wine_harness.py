"""Drives gravefall.scr under Wine on the X server in $DISPLAY, the way a user would: starts it,
finds its windows, presses keys with xdotool and reads the screen back. The Wine prefix comes
from scripts/test-windows ($WINEPREFIX)."""

import os
import struct
import subprocess
import tempfile
import time
import zlib

from Xlib import X, display

SCR = os.environ.get("GRAVEFALL_SCR", "gravefall.scr")


class WineProgram:
    """One run of a Windows program under Wine. Its output goes to a file: Wine's helper
    processes inherit the handles and outlive the program, so a pipe would never close."""

    def __init__(self, *arguments, program=SCR):
        self.output_file = tempfile.TemporaryFile()
        self.process = subprocess.Popen(["wine", program, *arguments], stdin=subprocess.DEVNULL,
                                        stdout=self.output_file, stderr=subprocess.STDOUT)

    def wait(self, timeout=60):
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


def run_wine(*arguments, timeout=60):
    """Runs a Wine tool (reg, ...) to its end; returns its exit code."""
    program = WineProgram(*arguments[1:], program=arguments[0])
    try:
        return program.wait(timeout)
    finally:
        program.stop()


def xdotool(*arguments):
    return subprocess.run(["xdotool", *map(str, arguments)], capture_output=True, text=True).stdout


def find_window(title, timeout=60.0):
    """The id of the viewable window with exactly this title, or None."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = xdotool("search", "--onlyvisible", "--name", f"^{title}$").split()
        if found:
            return int(found[0])
        time.sleep(0.2)
    return None


def set_wallpaper(windows_path):
    """Records the wallpaper in the user's desktop settings, where the system reads it."""
    return run_wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "Wallpaper", "/t", "REG_SZ",
                    "/d", windows_path, "/f")


def windows_path(unix_path):
    """The path under Wine's Z: drive, which maps the Unix root."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def write_png(path, width, height, pixel):
    """An 8-bit RGB PNG whose pixel (x, y) is pixel(x, y)."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw))
                  + chunk(b"IEND", b""))


class Screen:
    """The X display's pixels and window geometry."""

    def __init__(self):
        self.display = display.Display()
        self.root = self.display.screen().root

    def close(self):
        self.display.close()

    def size(self):
        geometry = self.root.get_geometry()
        return geometry.width, geometry.height

    def geometry(self, window_id):
        window = self.display.create_resource_object("window", window_id)
        geometry = window.get_geometry()
        origin = window.translate_coords(self.root, 0, 0)
        return (-origin.x, -origin.y, geometry.width, geometry.height)

    def sample_rows(self, rows, step):
        """For each y in rows, every step-th (r, g, b) pixel of that screen row, read one row at
        a time so that a sample of a large screen stays cheap."""
        width, _ = self.size()
        return {y: self.pixels(0, y, width, 1)[0][::step] for y in rows}

    def pixels(self, x, y, width, height):
        """Rows of (r, g, b) tuples read back from the screen."""
        image = self.root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF)
        data = image.data
        stride = len(data) // height
        return [[(data[row * stride + 4 * col + 2], data[row * stride + 4 * col + 1],
                  data[row * stride + 4 * col]) for col in range(width)] for row in range(height)]
