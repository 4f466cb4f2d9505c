"""gravefall.scr mirroring a desktop view it reaches through the shell windows collection. Wine's
own desktop view lists no items, so a fake collection (tests/windows/fake_shell) is registered as
the collection's in-process server in the throwaway prefix: it serves real desktop folders at
chosen places in a view window that starts left of and above the primary monitor, as it does
when another monitor sits there. The show must draw each icon where the view puts it on the
screen, with its caption, leave out the one on the other monitor, and end with code 1 when the
view cannot be reached. The wallpaper lies under a name no single-byte code page can spell."""

import os
import pwd
import re
import subprocess
import tempfile
import time
import unittest

from wine_harness import (Screen, WineProgram, find_window, set_wallpaper, windows_path, wine_output,
                          write_png, xdotool)

SERVER = os.environ.get("GRAVEFALL_FAKE_SHELL_SERVER", "fake_shell_server.dll")
# Wine's COM reads classes from the machine's part of the registry only (a per-user
# HKCU\Software\Classes entry, which Windows would prefer, is not looked at), and the prefix is
# thrown away after the run.
SERVER_KEY = r"HKLM\Software\Classes\CLSID\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\InprocServer32"

WALLPAPER = (24, 64, 72)
ICON = 48  # the extra-large icon side at Wine's 96 DPI
FOLDERS = ("Gravefall Alpha", "Gravefall Beta", "Gravefall Gamma")
# The view window's client area starts at (-300, -200): view positions are 300 px right of and
# 200 px below where they show.
SCENE = """origin -300 -200
item 420 340 Gravefall Alpha
item 1060 560 Gravefall Beta
item 100 100 Gravefall Gamma
"""
SHOWN = {"Gravefall Alpha": (120, 140), "Gravefall Beta": (760, 360)}
UNMAPPED = [(420, 340), (1060, 560)]  # where the view's own coordinates would put them
original_server = None  # the prefix's own server of the class, put back at the end


def close(colour, reference, tolerance=24):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, reference))


def desktop_directory():
    """The Windows user's desktop: Wine names the user after the Unix one."""
    user = pwd.getpwuid(os.getuid()).pw_name
    return os.path.join(os.environ["WINEPREFIX"], "drive_c", "users", user, "Desktop")


def setUpModule():
    global original_server
    # Wine names Unix files in the locale's character set: UTF-8 keeps the wallpaper's name whole.
    os.environ["LC_ALL"] = "C.UTF-8"
    status, output = wine_output("reg", "query", SERVER_KEY, "/ve")
    found = re.search(r"REG_SZ\s+(.+?)\s*$", output, re.MULTILINE)
    original_server = found.group(1) if status == 0 and found else None
    for arguments in (("/ve", "/d", windows_path(SERVER)), ("/v", "ThreadingModel", "/d", "Apartment")):
        status, output = wine_output("reg", "add", SERVER_KEY, *arguments, "/f")
        if status != 0:
            raise RuntimeError("cannot register the fake shell: " + output)


def tearDownModule():
    if original_server:
        wine_output("reg", "add", SERVER_KEY, "/ve", "/d", original_server, "/f")
    else:
        wine_output("reg", "delete", SERVER_KEY, "/f")


class FakeShellRun(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        for name in FOLDERS:
            os.makedirs(os.path.join(desktop_directory(), name), exist_ok=True)
        wallpaper = os.path.join(self.folder.name, "Обои 壁紙", "зима.png")
        os.makedirs(os.path.dirname(wallpaper))
        write_png(wallpaper, 8, 8, lambda x, y: WALLPAPER)
        self.assertEqual(set_wallpaper(windows_path(wallpaper)), 0)
        self.screen = Screen()
        self.program = None

    def tearDown(self):
        if self.program is not None:
            self.program.stop()
        self.screen.close()
        self.folder.cleanup()

    def start(self, scene, *arguments):
        path = os.path.join(self.folder.name, "scene.txt")
        with open(path, "w", encoding="utf-8") as out:
            out.write(scene)
        self.program = WineProgram(*arguments, env={"GRAVEFALL_FAKE_SHELL_SCENE": windows_path(path)})
        return self.program


class MirroredView(FakeShellRun):
    def region(self, left, top, width, height):
        return [pixel for row in self.screen.pixels(left, top, width, height) for pixel in row]

    def icon_shown(self, left, top):
        """Most of the icon's square differs from the wallpaper (a folder image fills most of it)."""
        pixels = self.region(left, top, ICON, ICON)
        return sum(not close(p, WALLPAPER) for p in pixels) > len(pixels) // 3

    def nothing_at(self, left, top):
        """The square shows only wallpaper (or a creature walking by, which is never white text or
        a folder: a few stray pixels are allowed)."""
        pixels = self.region(left, top, ICON, ICON + 16)
        return sum(not close(p, WALLPAPER) for p in pixels) < 40

    def caption_centred(self, left, top):
        """White text in the 16 rows under the icon, its extent centred on the icon's middle."""
        origin = max(0, left - 40)
        rows = self.screen.pixels(origin, top + ICON, 128, 16)
        columns = [x for row in rows for x, pixel in enumerate(row) if min(pixel) > 150]
        if not columns:
            return False
        first, last = min(columns) + origin, max(columns) + origin
        return abs((first + last) / 2 - (left + ICON / 2)) <= 2 and last - first >= 15

    def wallpaper_shown(self):
        points = [(x, y) for x in (300, 900, 1500) for y in (250, 700, 1000)]
        return sum(close(self.screen.pixel(x, y), WALLPAPER) for x, y in points) >= len(points) - 2

    def looks_right(self):
        return (self.wallpaper_shown()
                and all(self.icon_shown(*corner) and self.caption_centred(*corner) for corner in SHOWN.values())
                and all(self.nothing_at(*corner) for corner in UNMAPPED))

    def keep_screen(self):
        """The screen as judged, for whoever reads the run (and the README's claims)."""
        folder = os.path.join(os.environ.get("GRAVEFALL_BUILD", tempfile.gettempdir()), "screens")
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, "wine-desktop-view.png")
        subprocess.run(["import", "-window", "root", path], capture_output=True)
        print("screen:", path)

    def test_started_without_an_argument_it_shows_the_views_icons_where_the_view_puts_them(self):
        program = self.start(SCENE)  # no argument: the show, as a double-click on the .scr gives
        window = find_window("Gravefall")
        self.assertIsNotNone(window, "no Gravefall window appeared:\n" + program.output())
        # Start-up loads every sheet before the first frame; creatures may pass over an icon, so
        # look until one look shows everything in place.
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline and not self.looks_right():
            self.assertTrue(program.running(), "the show ended by itself:\n" + program.output())
            time.sleep(0.5)
        self.keep_screen()
        self.assertTrue(self.wallpaper_shown(), "the wallpaper is not shown")
        for name, corner in SHOWN.items():
            self.assertTrue(self.icon_shown(*corner), f"{name} is not drawn at {corner}")
            self.assertTrue(self.caption_centred(*corner), f"{name}'s caption is not under it")
        for corner in UNMAPPED:
            self.assertTrue(self.nothing_at(*corner), f"an icon is drawn at the view's own {corner}")

        xdotool("windowfocus", "--sync", window)
        xdotool("key", "space")
        self.assertEqual(program.wait(30), 0, program.output())


class UnreachableView(FakeShellRun):
    def test_a_desktop_window_without_an_active_view_ends_the_show_with_code_1(self):
        program = self.start("fail active-view\nitem 420 340 Gravefall Alpha\n", "/s")
        self.assertEqual(program.wait(60), 1, program.output())
        self.assertIsNone(find_window("Gravefall", timeout=0.5))


if __name__ == "__main__":
    unittest.main()
