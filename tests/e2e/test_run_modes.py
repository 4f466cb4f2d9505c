"""The run modes and the ways a show ends, seen from outside the process."""

import os
import signal
import subprocess
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

    def assert_one_cause(self, output, cause):
        lines = [line for line in output.splitlines() if line.startswith("gravefall: ")]
        self.assertEqual(len(lines), 1, output)
        self.assertIn(cause, lines[0])

    def test_no_display_server(self):
        code, output = self.run_show({"DISPLAY": ":4242", "WAYLAND_DISPLAY": ""})
        self.assertEqual(code, 255)  # -1 as the shell sees it
        self.assertIn("Failed to initialize GLFW", output)
        self.assert_one_cause(output, "cannot open the display")
        self.assertIn(":4242", output)

    def test_no_display_at_all(self):
        with tempfile.TemporaryDirectory() as home:
            program = Program("/s", home=home, unset=("DISPLAY", "WAYLAND_DISPLAY"))
            try:
                self.assertEqual(program.wait(timeout=20), 255)
                self.assert_one_cause(program.output(), "DISPLAY is not set")
            finally:
                program.stop()

    def test_no_opengl_3_3(self):
        code, output = self.run_show({"MESA_GL_VERSION_OVERRIDE": "3.0"})
        self.assertEqual(code, 255)
        self.assertIn("Failed to create the Gravefall window", output)
        self.assert_one_cause(output, "OpenGL 3.3 core is not available")
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


def screen_saver_settings():
    """The X server's screen-saver and DPMS lines of `xset q`."""
    report = subprocess.run(["xset", "q"], check=True, capture_output=True, text=True).stdout
    lines, keep = [], False
    for line in report.splitlines():
        if line and not line.startswith(" "):
            keep = line.startswith(("Screen Saver", "DPMS"))
        if keep:
            lines.append(line.strip())
    return lines


def pointer():
    location = dict(part.split(":") for part in xdotool("getmouselocation").split())
    return int(location["x"]), int(location["y"])


def gravefall_processes(binary=None):
    """Pids of every process running the binary under test (children included), or this one."""
    found = []
    binary = os.path.realpath(binary or os.environ.get("GRAVEFALL_BINARY", ""))
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                if os.path.realpath(f"/proc/{entry}/exe") == binary:
                    found.append(int(entry))
            except OSError:
                pass
    return found


class EndsInOrder(unittest.TestCase):
    """A key and each of SIGTERM, SIGINT and SIGHUP end the show through the one teardown, and
    leave the display as they found it: the X screen-saver settings, the pointer, no process."""

    def setUp(self):
        self.screen = Screen()
        self.home = tempfile.TemporaryDirectory()
        subprocess.run(["xset", "s", "600", "30", "s", "noblank"], check=True)

    def tearDown(self):
        subprocess.run(["xset", "s", "default"], check=False)
        self.screen.close()
        self.home.cleanup()

    def start_show(self):
        program = Program("/s", home=self.home.name)
        self.addCleanup(program.stop)
        self.assertIsNotNone(find_window("Gravefall"), program.output())
        presented = wait_until(lambda: self.screen.pixel(1, 1) != (0, 0, 0), timeout=60)
        self.assertTrue(presented, "no frame was presented:\n" + program.output())
        time.sleep(0.3)
        return program

    def test_every_end_restores_the_settings_and_leaves_the_pointer(self):
        settings = screen_saver_settings()
        self.assertIn("timeout:  600    cycle:  30", " ".join(settings))
        for where, ending in zip([(300, 200), (1500, 900), (40, 1000), (1200, 100)],
                                 ["key", signal.SIGTERM, signal.SIGINT, signal.SIGHUP]):
            with self.subTest(ending=str(ending)):
                xdotool("mousemove", *where)
                program = self.start_show()
                self.assertEqual(pointer(), where, "the show moved the pointer")
                # GLFW turns the server's screen saver off for a full-screen window: what the
                # run must put back.
                self.assertNotEqual(screen_saver_settings(), settings)
                started = time.monotonic()
                if ending == "key":
                    xdotool("key", "shift")
                else:
                    program.process.send_signal(ending)
                self.assertEqual(program.wait(timeout=15), 0, program.output())
                if ending != "key":
                    self.assertLess(time.monotonic() - started, 1.0)
                self.assertEqual(screen_saver_settings(), settings)
                self.assertEqual(pointer(), where)
                self.assertEqual(gravefall_processes(), [])

    def test_a_second_show_on_the_same_display_ends_at_once(self):
        first = self.start_show()
        started = time.monotonic()
        second = Program("/s", home=self.home.name)
        self.addCleanup(second.stop)
        self.assertEqual(second.wait(timeout=10), 0, second.output())
        self.assertLess(time.monotonic() - started, 1.0)
        self.assertTrue(first.running())
        first.process.send_signal(signal.SIGTERM)
        self.assertEqual(first.wait(timeout=15), 0, first.output())
        # The claim went with the first show: the next start is a show again.
        third = self.start_show()
        third.process.send_signal(signal.SIGTERM)
        self.assertEqual(third.wait(timeout=15), 0, third.output())


if __name__ == "__main__":
    unittest.main()
