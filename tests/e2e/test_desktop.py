"""The mirrored desktop seen on the screen: the wallpaper the desktop environment names, the
desktop folder's icons at their places with their captions centred beneath, the recorded plain
colour when there is no usable wallpaper, and exit code 1 when the desktop cannot be read."""

import os
import subprocess
import tempfile
import time
import unittest

from Xlib import X

import sample_desktop
from harness import Program, Screen, find_window, xdotool

MAGENTA = (255, 0, 255, 255)


def close(pixel, expected, tolerance=12):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, expected))


class DesktopRun(unittest.TestCase):
    """One run of the show on a prepared home; the screen is read once the first frame is up."""

    def setUp(self):
        self.screen = Screen()
        self.home_directory = tempfile.TemporaryDirectory()
        self.home = self.home_directory.name
        self.program = None
        xdotool("mousemove", 960, 540)

    def tearDown(self):
        if self.program is not None:
            self.program.stop()
        self.screen.close()
        self.home_directory.cleanup()

    def start(self, **extra):
        self.program = Program("/s", env={**sample_desktop.environment(self.home), **extra}, home=self.home)
        window = find_window("Gravefall")
        self.assertIsNotNone(window, "the show window did not appear:\n" + self.program.output())

    def region(self, x, y, width, height):
        """Rows of (r, g, b) pixels of a screen rectangle."""
        image = self.screen.root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF)
        data = image.data
        return [[(data[(row * width + column) * 4 + 2], data[(row * width + column) * 4 + 1],
                  data[(row * width + column) * 4]) for column in range(width)] for row in range(height)]

    def wait_for(self, condition, timeout=40.0):
        """Polls until condition() holds (start-up loads every sheet first, which takes seconds)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if condition():
                return True
            if not self.program.running():
                self.fail("the program ended:\n" + self.program.output())
            time.sleep(0.2)
        return condition()

    def most_points(self, points, colour, allowed_misses=3):
        """Creatures may pass over a few of the points."""
        hits = sum(close(self.screen.pixel(x, y), colour) for x, y in points)
        return hits >= len(points) - allowed_misses


class Wallpaper(DesktopRun):
    @staticmethod
    def write_red_over_blue(path):
        sample_desktop.write_png(path, 64, 36, lambda x, y: (255, 0, 0, 255) if y < 18 else (0, 0, 255, 255))

    def assert_red_over_blue(self):
        top = [(x, y) for x in (300, 800, 1300, 1700) for y in (150, 350)]
        bottom = [(x, y) for x in (300, 800, 1300, 1700) for y in (750, 950)]
        self.assertTrue(self.wait_for(lambda: self.most_points(top, (255, 0, 0)) and
                                      self.most_points(bottom, (0, 0, 255))),
                        [self.screen.pixel(x, y) for x, y in top + bottom])

    def test_a_red_over_blue_wallpaper_shows_red_at_the_top(self):
        path = os.path.join(self.home, "Wall papers", "rouge über bleu.png")
        self.write_red_over_blue(path)
        sample_desktop.set_xfce_backdrop(self.home, image=path)
        self.start()
        self.assert_red_over_blue()

    def test_a_jpeg_wallpaper_is_decoded_by_the_system(self):
        # Only PNG goes to the built-in decoder; a JPEG (made here with ImageMagick) is the
        # platform decoder's.
        png = os.path.join(self.home, "source.png")
        self.write_red_over_blue(png)
        path = os.path.join(self.home, "Pictures", "photo.jpg")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["convert", png, "-quality", "95", path], check=True)
        sample_desktop.set_xfce_backdrop(self.home, image=path)
        self.start()
        self.assert_red_over_blue()

    def check_stripes(self, pixel, channels, left_colour, right_colour):
        """A wallpaper whose left third and right two thirds differ, 75 px wide: rows whose byte
        length is no multiple of 4 (or not 3 bytes a pixel) that a plain RGB upload would skew."""
        path = os.path.join(self.home, "stripes.png")
        sample_desktop.write_png(path, 75, 40, pixel, channels)
        sample_desktop.set_xfce_backdrop(self.home, image=path)
        self.start()
        left = [(x, y) for x in (200, 500) for y in (100, 400, 700, 1000)]
        right = [(x, y) for x in (900, 1500, 1800) for y in (100, 400, 700, 1000)]
        self.assertTrue(self.wait_for(lambda: self.most_points(left, left_colour) and
                                      self.most_points(right, right_colour)),
                        [self.screen.pixel(x, y) for x, y in left + right])

    def test_an_rgb_wallpaper_of_odd_width_is_not_skewed(self):
        self.check_stripes(lambda x, y: (0, 200, 0) if x < 25 else (200, 200, 0), 3, (0, 200, 0), (200, 200, 0))

    def test_a_grey_wallpaper_with_alpha_shows_in_grey(self):
        self.check_stripes(lambda x, y: (40, 255) if x < 25 else (220, 255), 2, (40, 40, 40), (220, 220, 220))

    def test_a_broken_wallpaper_shows_the_recorded_plain_colour(self):
        path = os.path.join(self.home, "broken.png")
        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n not really")
        sample_desktop.set_xfce_backdrop(self.home, image=path, rgba=(0.5, 0.0, 0.25, 1.0))
        self.start()
        points = [(x, y) for x in (300, 900, 1500) for y in (200, 600, 1000)]
        self.assertTrue(self.wait_for(lambda: self.most_points(points, (128, 0, 64), allowed_misses=2)),
                        [self.screen.pixel(x, y) for x, y in points])


class DesktopBackdrops(DesktopRun):
    """The backdrop of three desktops, each set with its own tool or file."""

    def test_gnome_vertical_gradient_is_flat_at_the_ends_and_blends_in_the_middle(self):
        sample_desktop.gsettings(self.home, "set", "org.gnome.desktop.background", "picture-options", "none")
        sample_desktop.gsettings(self.home, "set", "org.gnome.desktop.background", "primary-color", "#ff0000")
        sample_desktop.gsettings(self.home, "set", "org.gnome.desktop.background", "secondary-color", "#0000ff")
        sample_desktop.gsettings(self.home, "set", "org.gnome.desktop.background", "color-shading-type", "vertical")
        self.start(XDG_CURRENT_DESKTOP="GNOME", GSETTINGS_BACKEND="keyfile")
        xs = (200, 700, 1200, 1700)
        top = [(x, y) for x in xs for y in (20, 250)]
        bottom = [(x, y) for x in xs for y in (830, 1060)]
        middle = [(x, 540) for x in xs]
        self.assertTrue(self.wait_for(lambda: self.most_points(top, (255, 0, 0)) and
                                      self.most_points(bottom, (0, 0, 255)) and
                                      self.most_points(middle, (128, 0, 128), allowed_misses=1)),
                        [self.screen.pixel(x, y) for x, y in top + middle + bottom])

    def test_cinnamon_picture_shows_upright_and_stretched(self):
        path = os.path.join(self.home, "Pictures", "mint.png")
        sample_desktop.write_png(path, 40, 10, lambda x, y: (0, 200, 0, 255) if x < 10 else (255, 255, 0, 255))
        sample_desktop.gsettings(self.home, "set", "org.cinnamon.desktop.background", "picture-uri", "file://" + path)
        self.start(XDG_CURRENT_DESKTOP="X-Cinnamon", GSETTINGS_BACKEND="keyfile")
        # The picture's left quarter fills the screen's left quarter from top to bottom.
        left = [(x, y) for x in (100, 380) for y in (100, 540, 980)]
        right = [(x, y) for x in (560, 1200, 1800) for y in (100, 540, 980)]
        self.assertTrue(self.wait_for(lambda: self.most_points(left, (0, 200, 0)) and
                                      self.most_points(right, (255, 255, 0))),
                        [self.screen.pixel(x, y) for x, y in left + right])

    def test_lxqt_without_a_wallpaper_mode_shows_its_colour(self):
        path = os.path.join(self.home, "Pictures", "unused.png")
        sample_desktop.write_png(path, 4, 4, sample_desktop.solid((255, 255, 255, 255)))
        sample_desktop.write_text(os.path.join(self.home, ".config", "pcmanfm-qt", "lxqt", "settings.conf"),
                                  f"[Desktop]\nBgColor=#30a050\nWallpaper={path}\nWallpaperMode=none\n")
        self.start(XDG_CURRENT_DESKTOP="LXQt")
        points = [(x, y) for x in (150, 700, 1300, 1800) for y in (100, 540, 1000)]
        self.assertTrue(self.wait_for(lambda: self.most_points(points, (0x30, 0xa0, 0x50))),
                        [self.screen.pixel(x, y) for x, y in points])


class Icons(DesktopRun):
    def test_icons_appear_at_their_places_with_captions_centred_beneath(self):
        sample_desktop.write_icon_theme(self.home, "Flat", {"folder": sample_desktop.solid(MAGENTA)})
        # An XFCE desktop showing files only, black.
        hidden = "".join(f'<property name="{name}" type="bool" value="false"/>'
                         for name in ("show-filesystem", "show-home", "show-trash", "show-removable"))
        sample_desktop.set_xfce_backdrop(self.home, rgba=(0.0, 0.0, 0.0, 1.0),
                                         extra='<property name="desktop-icons" type="empty">'
                                               f'<property name="file-icons" type="empty">{hidden}</property></property>')
        for name in ("Alpha", "Beta", "Gamma"):
            os.makedirs(os.path.join(self.home, "Desktop", name))
        # xfdesktop recorded Beta in column 4, row 3; the others fill the first free slots.
        beta = os.path.join(self.home, "Desktop", "Beta")
        sample_desktop.write_text(os.path.join(self.home, ".config", "xfce4", "desktop", "icons.screen0-1920x1080.rc"),
                                  f"[{beta}]\nrow=3\ncol=4\n")
        self.start(XDG_CURRENT_DESKTOP="XFCE")
        # Slot (column, row) puts a 48 px icon's top-left corner at (41 + trunc(105.2 column),
        # 16 + trunc(106.2 row)); Alpha and Gamma take the first two free slots in the folder's order.
        icons = {"first free": (41, 16), "Beta": (41 + 420, 16 + 318), "second free": (41, 122)}

        def icon_shown(left, top):
            inside = [(left + dx, top + dy) for dx in (4, 24, 43) for dy in (4, 24, 43)]
            return self.most_points(inside, (255, 0, 255), allowed_misses=2)

        def all_shown():
            return all(icon_shown(*corner) for corner in icons.values())

        for attempt in range(5):  # a creature walking over an icon spoils one look, not all of them
            self.assertTrue(self.wait_for(all_shown), {name: self.screen.pixel(x + 24, y + 24)
                                                       for name, (x, y) in icons.items()})
            failures = [name for name, corner in icons.items() if not self.caption_centred(*corner)]
            if not failures:
                return
            time.sleep(0.7)
        self.fail(f"captions not centred under {failures}")

    def caption_centred(self, left, top):
        """White text in the 16 rows under the icon, its extent centred on the icon's middle."""
        origin = max(0, left - 40)
        rows = self.region(origin, top + 48, 128, 16)
        columns = [x for row in rows for x, pixel in enumerate(row) if min(pixel) > 150]
        if not columns:
            return False
        first, last = min(columns) + origin, max(columns) + origin
        middle = left + 24
        return abs((first + last) / 2 - middle) <= 2 and last - first >= 15


class UnreadableDesktop(unittest.TestCase):
    def test_a_desktop_that_cannot_be_read_ends_with_code_1_and_no_window(self):
        with tempfile.TemporaryDirectory() as home:
            sample_desktop.write_text(os.path.join(home, "Desktop"), "a file where the folder should be")
            program = Program("/s", env=sample_desktop.environment(home), home=home)
            try:
                self.assertEqual(program.wait(timeout=20), 1, program.output())
                self.assertIsNone(find_window("Gravefall", timeout=0.2))
                # One line says why.
                self.assertEqual(program.output(), "ERROR::DESKTOP: Failed to read the desktop folder "
                                                   + os.path.join(home, "Desktop") + "\n")
            finally:
                program.stop()


class NothingElseStarts(DesktopRun):
    """The mirror starts no other program: without a session bus, none is launched for it."""

    def test_no_session_bus_is_launched(self):
        spy = os.path.join(self.home, "spy")
        marker = os.path.join(self.home, "launched")
        os.makedirs(spy)
        for tool in ("dbus-launch", "dbus-daemon"):
            sample_desktop.write_text(os.path.join(spy, tool), f'#!/bin/sh\necho "$0 $*" >> "{marker}"\nexit 1\n')
            os.chmod(os.path.join(spy, tool), 0o755)
        environment = {key: value for key, value in sample_desktop.environment(self.home).items()}
        environment.update(PATH=spy + os.pathsep + os.environ["PATH"], XDG_CURRENT_DESKTOP="ubuntu:GNOME")
        environment.pop("GSETTINGS_BACKEND")  # the desktop's own settings store, which uses the bus
        # The run starts without a bus or a runtime folder to find one in.
        self.program = Program("/s", env=environment, home=self.home,
                               unset=("DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"))
        self.assertIsNotNone(find_window("Gravefall"), self.program.output())
        xdotool("key", "space")
        self.assertEqual(self.program.wait(timeout=20), 0)
        self.assertFalse(os.path.exists(marker), open(marker).read() if os.path.exists(marker) else "")


if __name__ == "__main__":
    unittest.main()
