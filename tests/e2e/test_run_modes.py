"""The run modes and the ways a show ends, seen from outside the process."""

import tempfile
import time
import unittest

from harness import Program, Screen, find_window, xdotool


def wait_until(condition, timeout=10.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return condition()


class PreviewAndSettings(unittest.TestCase):
    def test_preview_exits_at_once_without_a_window(self):
        for arguments in (["/p"], ["/p", "123"], ["/P:123"]):
            program = Program(*arguments)
            try:
                self.assertEqual(program.wait(timeout=10), 0, arguments)
                self.assertIsNone(find_window("Gravefall", timeout=0.2))
            finally:
                program.stop()

    def test_settings_shows_the_box_and_exits_once_it_is_dismissed(self):
        program = Program("/c:123")
        try:
            box = find_window("Settings")
            self.assertIsNotNone(box, "no Settings box appeared")
            self.assertIsNone(find_window("Gravefall", timeout=0.2))
            time.sleep(0.3)
            self.assertTrue(program.running(), "the box must stay until it is dismissed")
            xdotool("windowfocus", "--sync", box)
            xdotool("key", "Return")
            self.assertEqual(program.wait(timeout=10), 0, program.output())
        finally:
            program.stop()

    def test_settings_without_a_display_prints_the_text(self):
        program = Program("/c", env={"DISPLAY": "", "WAYLAND_DISPLAY": ""})
        try:
            self.assertEqual(program.wait(timeout=10), 0)
            self.assertIn("No configurable settings.", program.output())
        finally:
            program.stop()


class StartFailures(unittest.TestCase):
    """A show that cannot open its window ends in order, with a message and exit code -1."""

    def run_show(self, env):
        with tempfile.TemporaryDirectory() as home:
            program = Program("/s", env=env, home=home)
            try:
                code = program.wait(timeout=20)
                return code, program.output()
            finally:
                program.stop()

    def test_no_display_server(self):
        code, output = self.run_show({"DISPLAY": ":4242", "WAYLAND_DISPLAY": ""})
        self.assertEqual(code, 255)  # -1 as the shell sees it
        self.assertIn("Failed to initialize GLFW", output)

    def test_no_opengl_3_3(self):
        code, output = self.run_show({"MESA_GL_VERSION_OVERRIDE": "3.0"})
        self.assertEqual(code, 255)
        self.assertIn("Failed to create the Gravefall window", output)
        self.assertIsNone(find_window("Gravefall", timeout=0.2))


class ShowMode(unittest.TestCase):
    def setUp(self):
        self.screen = Screen()
        self.home = tempfile.TemporaryDirectory()  # an empty desktop with no wallpaper
        xdotool("mousemove", 960, 540)
        self.program = Program("/s", home=self.home.name)
        self.window = find_window("Gravefall")
        self.assertIsNotNone(self.window, "the show window did not appear:\n" + self.program.output())
        # The window opens before the assets load; the first presented frame (nothing black is
        # drawn over the whole screen) takes the pointer reference.
        presented = wait_until(lambda: self.screen.pixel(1, 1) != (0, 0, 0), timeout=60)
        self.assertTrue(presented, "no frame was presented:\n" + self.program.output())
        time.sleep(0.3)

    def tearDown(self):
        self.program.stop()
        self.screen.close()
        self.home.cleanup()

    def assert_ends_with_zero(self):
        self.assertEqual(self.program.wait(timeout=15), 0, self.program.output())

    def test_opens_one_borderless_full_screen_window_showing_slate(self):
        self.assertEqual(self.screen.geometry(self.window), (0, 0, 1920, 1080))
        self.assertFalse(self.screen.is_decorated(self.window))
        # With no wallpaper the cleared slate blue-grey shows; a passing creature may cover a
        # point or two, so most of a spread of points must show it.
        slate = (51, 64, 77)
        points = [(x, y) for x in (100, 700, 1300, 1800) for y in (100, 500, 900)]

        def mostly_slate():
            matches = sum(all(abs(a - b) <= 1 for a, b in zip(self.screen.pixel(x, y), slate))
                          for x, y in points)
            return matches >= len(points) - 3

        self.assertTrue(wait_until(mostly_slate), [self.screen.pixel(x, y) for x, y in points])
        self.assertTrue(self.program.running())

    def test_a_key_press_ends_the_run(self):
        xdotool("key", "shift")
        self.assert_ends_with_zero()

    def test_five_pixels_keep_it_running_six_end_it(self):
        xdotool("mousemove", 965, 540)
        time.sleep(0.5)
        xdotool("mousemove", 960, 535)
        time.sleep(0.5)
        self.assertTrue(self.program.running(), "moving exactly 5 px must not end the run")
        xdotool("mousemove", 966, 540)
        self.assert_ends_with_zero()

    def test_a_click_without_movement_keeps_it_running(self):
        xdotool("click", 1)
        time.sleep(0.5)
        self.assertTrue(self.program.running())

    def test_a_close_request_ends_the_run(self):
        self.screen.request_close(self.window)
        self.assert_ends_with_zero()


if __name__ == "__main__":
    unittest.main()
