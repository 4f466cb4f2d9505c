"""Drives gravefall.scr under Wine on the X server in $DISPLAY, the way a user would: starts it,
finds its windows, presses keys with xdotool and reads the screen back. The Wine prefix comes
from scripts/test-windows ($WINEPREFIX)."""

import os
import struct
import subprocess
import sys
import zlib

# The pieces shared with the Linux end-to-end tests.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness  # noqa: E402
from harness import Screen  # noqa: E402,F401  (re-exported for the tests)

SCR = os.environ.get("GRAVEFALL_SCR", "gravefall.scr")


class WineProgram(harness.Program):
    """One run of a Windows program under Wine. Its output goes to a file: Wine's helper
    processes inherit the handles and outlive the program, so a pipe would never close."""

    def __init__(self, *arguments, program=SCR, env=None):
        super().__init__(*arguments, command=["wine", program], env=env)


def wine_output(*arguments, timeout=60):
    """Runs a Wine tool (reg, ...) to its end; returns its exit code and its output."""
    program = WineProgram(*arguments[1:], program=arguments[0])
    try:
        return program.wait(timeout), program.output()
    finally:
        program.stop()


def run_wine(*arguments, timeout=60):
    """Runs a Wine tool to its end; returns its exit code."""
    return wine_output(*arguments, timeout=timeout)[0]


def xdotool(*arguments):
    """xdotool, whose failures (a window gone meanwhile) the Wine tests tolerate."""
    return subprocess.run(["xdotool", *map(str, arguments)], capture_output=True, text=True).stdout


def find_window(title, timeout=60.0):
    """The id of the viewable window with exactly this title, or None. Wine is slow to map."""
    return harness.find_window(title, timeout=timeout, poll=0.2)


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
