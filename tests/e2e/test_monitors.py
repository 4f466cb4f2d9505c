"""Every monitor is covered: on an X server with two monitors the show runs on the primary, a
black window hides the other for the whole run, and a key or the mouse over it ends the run."""

import os
import subprocess
import tempfile
import time
import unittest

from Xlib import X

from harness import Program, Screen, TwoMonitorServer, xdotool
from test_run_modes import wait_until

RED = (255, 0, 0)
BLACK = (0, 0, 0)
SECOND = [(1290, 10), (1920, 360), (2550, 710)]  # points on the second monitor


class TwoMonitors(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = TwoMonitorServer()
        cls.saved_display = os.environ.get("DISPLAY")
        os.environ["DISPLAY"] = cls.server.start()

    @classmethod
    def tearDownClass(cls):
        if cls.saved_display is None:
            os.environ.pop("DISPLAY", None)
        else:
            os.environ["DISPLAY"] = cls.saved_display
        cls.server.stop()

    def setUp(self):
        self.screen = Screen()
        self.addCleanup(self.screen.close)
        self.home = tempfile.TemporaryDirectory()
        self.addCleanup(self.home.cleanup)
        # A lit window of the user's on the second monitor.
        colormap = self.screen.display.screen().default_colormap
        red = colormap.alloc_color(0xFFFF, 0, 0).pixel
        self.user_window = self.screen.root.create_window(1280, 0, 1280, 720, 0, X.CopyFromParent,
                                                          background_pixel=red, override_redirect=True)
        self.user_window.map()
        self.screen.display.sync()
        self.assertTrue(wait_until(lambda: self.screen.pixel(1920, 360) == RED))

    def tearDown(self):
        self.user_window.destroy()
        self.screen.display.sync()

    def start_show(self):
        program = Program("/s", home=self.home.name)
        self.addCleanup(program.stop)
        self.assertTrue(wait_until(lambda: len(self.show_windows()) == 2, timeout=30), program.output())
        presented = wait_until(lambda: self.screen.pixel(1, 1) != BLACK, timeout=60)
        self.assertTrue(presented, "no frame was presented:\n" + program.output())
        time.sleep(0.3)
        return program

    def show_windows(self):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Gravefall$"],
                               capture_output=True, text=True).stdout.split()
        return sorted(self.screen.geometry(int(window)) for window in found)

    def test_the_other_monitor_is_black_for_the_whole_run_and_its_input_ends_it(self):
        for ending in ("mouse", "key"):
            with self.subTest(ending=ending):
                xdotool("mousemove", 1900, 400)
                program = self.start_show()
                self.assertEqual(self.show_windows(), [(0, 0, 1280, 720), (1280, 0, 1280, 720)])
                for _ in range(3):
                    self.assertEqual([self.screen.pixel(x, y) for x, y in SECOND], [BLACK] * 3)
                    self.assertNotEqual(self.screen.pixel(640, 360), BLACK)  # the show itself
                    time.sleep(0.5)
                self.assertTrue(program.running())
                if ending == "mouse":
                    xdotool("mousemove", 1900, 410)
                else:
                    xdotool("key", "shift")
                self.assertEqual(program.wait(timeout=15), 0, program.output())
                self.assertTrue(wait_until(lambda: self.screen.pixel(1920, 360) == RED))


if __name__ == "__main__":
    unittest.main()
