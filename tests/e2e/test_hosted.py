"""The show hosted by a Linux screen-saver host: drawn into the host's window and nowhere else,
deaf to input (the host owns it), ended by the host's SIGTERM with exit code 0. First against a
client that makes a window the way a host does, then under a real xscreensaver."""

import os
import shutil
import signal
import stat
import subprocess
import tempfile
import time
import unittest

from Xlib import X

from harness import BINARY, Program, Screen, VirtualServer, find_window, xdotool
from test_run_modes import gravefall_processes, wait_until

SLATE = (51, 64, 77)  # the show's clear colour, all an empty home shows
HOST_GREEN = (1, 254, 3)  # the host's window before the show draws in it


def is_slate(pixel):
    return all(abs(a - b) <= 1 for a, b in zip(pixel, SLATE))


class HostsWindow(unittest.TestCase):
    WINDOW = (300, 200, 640, 400)  # x, y, width, height on the 1920x1080 test screen
    MARGIN = 40

    def setUp(self):
        self.screen = Screen()
        self.addCleanup(self.screen.close)
        self.home = tempfile.TemporaryDirectory()
        self.addCleanup(self.home.cleanup)
        x, y, width, height = self.WINDOW
        # As a host makes it: a child of the root window, its own colour, its input selected.
        self.host_window = self.screen.root.create_window(
            x, y, width, height, 0, X.CopyFromParent, X.InputOutput, X.CopyFromParent,
            background_pixel=(HOST_GREEN[0] << 16) | (HOST_GREEN[1] << 8) | HOST_GREEN[2],
            override_redirect=True, event_mask=X.KeyPressMask | X.ButtonPressMask | X.PointerMotionMask)
        self.host_window.map()
        self.screen.display.sync()
        self.addCleanup(self.screen.display.sync)
        self.addCleanup(self.host_window.destroy)
        self.assertTrue(wait_until(lambda: self.screen.pixel(x + 1, y + 1) == HOST_GREEN))

    def band(self):
        """The window with a margin around it, as rows of pixels."""
        x, y, width, height = self.WINDOW
        return self.screen.pixels(x - self.MARGIN, y - self.MARGIN, width + 2 * self.MARGIN, height + 2 * self.MARGIN)

    def test_draws_in_the_hosts_window_only_ignores_input_and_ends_on_sigterm(self):
        x, y, width, height = self.WINDOW
        xdotool("mousemove", x + 100, y + 100)
        before = self.band()
        # The variable names the window; -root, which xscreensaver adds, must not win over it.
        program = Program("-root", env={"XSCREENSAVER_WINDOW": hex(self.host_window.id)}, home=self.home.name)
        self.addCleanup(program.stop)
        centre = (x + width // 2, y + height // 2)
        self.assertTrue(wait_until(lambda: self.screen.pixel(*centre) != HOST_GREEN, timeout=60), program.output())
        time.sleep(0.5)
        after = self.band()

        inside = outside_changed = 0
        slate = green = 0
        for row in range(len(after)):
            for col in range(len(after[row])):
                in_window = (self.MARGIN <= col < self.MARGIN + width) and (self.MARGIN <= row < self.MARGIN + height)
                if not in_window:
                    outside_changed += after[row][col] != before[row][col]
                    continue
                inside += 1
                slate += is_slate(after[row][col])
                green += after[row][col] == HOST_GREEN
        self.assertEqual(outside_changed, 0, "the show drew outside the host's window")
        self.assertEqual(green, 0, "the show left part of the host's window undrawn")
        # Creatures cross the window; the cleared slate is still most of it.
        self.assertGreater(slate, inside // 2)
        self.assertIsNone(find_window("Gravefall", timeout=0.2), "the hosted show opened a window of its own")

        # The host owns the input: a key, a click and a long way of the mouse do not end the show.
        xdotool("mousemove", x + 500, y + 300)
        xdotool("key", "shift")
        xdotool("click", 1)
        time.sleep(0.7)
        self.assertTrue(program.running(), program.output())

        started = time.monotonic()
        program.process.send_signal(signal.SIGTERM)
        self.assertEqual(program.wait(timeout=15), 0, program.output())
        self.assertLess(time.monotonic() - started, 1.0)
        self.assertEqual(gravefall_processes(), [])


# Run by xscreensaver in place of the program: passes the host's SIGTERM on to it and records
# its exit code, which xscreensaver itself never reports.
RECORDING_WRAPPER = """#!/bin/sh
if [ -n "$GRAVEFALL_PRELOAD" ]; then export LD_PRELOAD="$GRAVEFALL_PRELOAD"; fi
"$@" &
child=$!
trap 'kill -TERM $child' TERM
wait $child
wait $child
echo $? > "$HOME/exit-code"
"""


class RealXScreenSaver(unittest.TestCase):
    """xscreensaver from Debian on a virtual X server of its own, with Gravefall its one display
    mode: activated with xscreensaver-command, it runs the show in its window; deactivated, it ends
    the show with SIGTERM."""

    def setUp(self):
        self.server = VirtualServer("1280x720")
        self.addCleanup(self.server.stop)
        self.display_name = self.server.start()
        self.scratch = tempfile.TemporaryDirectory()
        self.addCleanup(self.scratch.cleanup)
        self.home = os.path.join(self.scratch.name, "home")
        os.mkdir(self.home)
        # xscreensaver launches no display mode as root; the user nobody runs it then, with a copy
        # of the program (a build tree may be out of that user's reach).
        program = os.path.join(self.home, "gravefall")
        shutil.copy(os.path.realpath(BINARY), program)
        wrapper = os.path.join(self.home, "record-exit")
        with open(wrapper, "w") as out:
            out.write(RECORDING_WRAPPER)
        for path in (program, wrapper):
            os.chmod(path, stat.S_IRWXU | stat.S_IRGRP | stat.S_IXGRP | stat.S_IROTH | stat.S_IXOTH)
        with open(os.path.join(self.home, ".xscreensaver"), "w") as out:
            out.write("mode: one\nselected: 0\nlock: False\nsplash: False\nfade: False\nunfade: False\n"
                      f'programs: "Gravefall" {wrapper} {program} -root \\n\n')
        self.as_user = []
        if os.getuid() == 0:
            for path in (self.scratch.name, self.home, *(os.path.join(self.home, n) for n in os.listdir(self.home))):
                os.chown(path, 65534, 65534)
            self.as_user = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
        self.environment = dict(os.environ, DISPLAY=self.display_name, HOME=self.home)
        self.environment.pop("XDG_CONFIG_HOME", None)
        self.environment.pop("XDG_DATA_HOME", None)
        self.log = open(os.path.join(self.scratch.name, "xscreensaver.log"), "w+")
        self.addCleanup(self.log.close)
        self.daemon = subprocess.Popen([*self.as_user, "xscreensaver", "-no-splash", "-verbose"],
                                       env=self.environment, stdin=subprocess.DEVNULL, stdout=self.log,
                                       stderr=subprocess.STDOUT)
        self.addCleanup(self.stop_daemon)

    def stop_daemon(self):
        if self.daemon.poll() is None:
            self.daemon.terminate()
            self.daemon.wait(timeout=10)

    def command(self, *arguments):
        return subprocess.run([*self.as_user, "xscreensaver-command", *arguments], env=self.environment,
                              capture_output=True, text=True)

    def log_text(self):
        self.log.seek(0)
        return self.log.read()

    def test_activate_runs_the_show_in_its_window_and_deactivate_ends_it(self):
        self.assertTrue(wait_until(lambda: self.command("-activate").returncode == 0, timeout=15), self.log_text())
        screen = Screen(self.display_name)
        self.addCleanup(screen.close)
        points = [(x, y) for x in (20, 640, 1260) for y in (20, 360, 700)]
        shown = wait_until(lambda: sum(is_slate(screen.pixel(*p)) for p in points) >= len(points) - 3, timeout=60)
        self.assertTrue(shown, self.log_text())
        running = gravefall_processes(os.path.join(self.home, "gravefall"))
        self.assertEqual(len(running), 1, self.log_text())
        with open(f"/proc/{running[0]}/environ", "rb") as environ:
            self.assertIn(b"XSCREENSAVER_WINDOW=", environ.read())

        # xscreensaver passes its SIGTERM on when its own loop gets to it, seconds later on a
        # busy machine: how fast the show ends on SIGTERM is HostsWindow's to measure.
        self.assertEqual(self.command("-deactivate").returncode, 0)
        exit_file = os.path.join(self.home, "exit-code")
        self.assertTrue(wait_until(lambda: os.path.exists(exit_file) and os.path.getsize(exit_file) > 0,
                                   timeout=20), self.log_text())
        with open(exit_file) as recorded:
            self.assertEqual(recorded.read().strip(), "0", self.log_text())
        self.assertEqual(gravefall_processes(os.path.join(self.home, "gravefall")), [])


if __name__ == "__main__":
    unittest.main()
