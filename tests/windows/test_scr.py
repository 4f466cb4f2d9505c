"""gravefall.scr under Wine, driven like a user: the preview and settings switches, and the show
with the wallpaper from the user's desktop settings, the crowd, and a key press that ends it."""

import os
import subprocess
import tempfile
import time
import unittest

from wine_harness import (Screen, WineProgram, find_window, set_wallpaper, windows_path,
                          write_png, xdotool)

RED = (230, 20, 20)
BLUE = (20, 20, 230)


def near(colour, reference, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, reference))


class RunModes(unittest.TestCase):
    def test_preview_switch_exits_at_once_without_a_window(self):
        for arguments in (["/p", "123"], ["/P:123"], ["-p"]):
            with self.subTest(arguments=arguments):
                program = WineProgram(*arguments)
                try:
                    self.assertEqual(program.wait(60), 0, program.output())
                finally:
                    program.stop()
        self.assertIsNone(find_window("Gravefall", timeout=0.5))

    def test_settings_switch_shows_the_box_and_exits_when_it_is_dismissed(self):
        # With the settings dialog's window handle, as the screen-saver settings start it, and bare.
        for arguments in (["/c:1234"], ["/c"]):
            with self.subTest(arguments=arguments):
                self.dismiss_settings(WineProgram(*arguments))

    def dismiss_settings(self, program):
        try:
            box = find_window("Settings")
            self.assertIsNotNone(box, "no Settings box appeared")
            self.assertTrue(program.running(), "the program must wait for the box")
            self.assertIsNone(find_window("Gravefall", timeout=0.5))
            # A real key press on the focused box, as a user gives it: Wine takes events sent
            # to a window directly for keys that stay down, which would end the next show at once.
            # Without a window manager the box may not have the focus yet: press again, as a user
            # would, until it goes.
            for _ in range(6):
                xdotool("windowfocus", "--sync", box)
                xdotool("key", "Return")
                try:
                    program.wait(5)
                    break
                except subprocess.TimeoutExpired:
                    continue
            self.assertEqual(program.wait(5), 0, program.output())
            self.assertIsNone(find_window("Settings", timeout=0.5))
        finally:
            program.stop()


class Show(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        # Top half red, bottom half blue: the show must stretch it over the screen, top up.
        self.wallpaper = os.path.join(self.folder.name, "wallpaper.png")
        write_png(self.wallpaper, 64, 36, lambda x, y: RED if y < 18 else BLUE)
        self.assertEqual(set_wallpaper(windows_path(self.wallpaper)), 0)
        self.screen = Screen()

    def tearDown(self):
        self.screen.close()
        self.folder.cleanup()

    def screen_shot(self):
        """Keeps what the screen showed for whoever reads the failure."""
        path = os.path.join(tempfile.gettempdir(), "gravefall-wine-show.png")
        subprocess.run(["import", "-window", "root", path], capture_output=True)
        print("screen at the failure:", path)

    def halves(self, width, height, step=8):
        """Every step-th pixel of the top and of the bottom half, leaving out the middle rows."""
        top_rows = range(step, height // 2 - step, step)
        bottom_rows = range(height // 2 + step, height - step, step)
        sample = self.screen.sample_rows(list(top_rows) + list(bottom_rows), step)
        top = [pixel for y in top_rows for pixel in sample[y]]
        bottom = [pixel for y in bottom_rows for pixel in sample[y]]
        return top, bottom

    def test_show_draws_the_wallpaper_and_the_crowd_and_ends_on_a_key(self):
        program = WineProgram("/s")
        try:
            window = find_window("Gravefall")
            self.assertIsNotNone(window, "no Gravefall window appeared:\n" + program.output())
            width, height = self.screen.size()
            self.assertEqual(self.screen.geometry(window), (0, 0, width, height))

            # Start-up loads every sheet before the first frame, and the crowd starts off screen
            # and walks in: sample the screen until both show, for a bounded time.
            wallpaper_shown = False
            crowd = 0
            deadline = time.monotonic() + 90
            while time.monotonic() < deadline and not (wallpaper_shown and crowd >= 200):
                time.sleep(1.0)
                self.assertTrue(program.running(), "the show ended by itself:\n" + program.output())
                top, bottom = self.halves(width, height)
                wallpaper_shown = (sum(near(p, RED) for p in top) > len(top) // 2
                                   and sum(near(p, BLUE) for p in bottom) > len(bottom) // 2)
                if wallpaper_shown:
                    crowd = sum(not near(p, RED) for p in top) + sum(not near(p, BLUE) for p in bottom)
            if not (wallpaper_shown and crowd >= 200):
                self.screen_shot()
            self.assertTrue(wallpaper_shown, "the wallpaper is not stretched over the screen, red on top")
            self.assertGreaterEqual(crowd, 200, "no creatures over the wallpaper")

            self.assertTrue(program.running())
            # One show at a time: a second start ends at once, and this one goes on.
            second = WineProgram("/s")
            try:
                self.assertEqual(second.wait(15), 0, second.output())
            finally:
                second.stop()
            self.assertTrue(program.running())
            xdotool("windowfocus", "--sync", window)
            xdotool("key", "space")
            self.assertEqual(program.wait(30), 0, program.output())
        finally:
            program.stop()


if __name__ == "__main__":
    unittest.main()
