"""The show through Xwayland under a Wayland compositor (sway from Debian, nested on a virtual X
server of its own, whose pointer is the compositor's). Xwayland reports a stale pointer position
(its screen's centre) until it hands the window the real one, after the focus: that must not end
the show, while a real movement of the pointer still does."""

import os
import signal
import subprocess
import tempfile
import time
import unittest

from harness import BINARY, Program, Screen, VirtualServer
from test_hosted import is_slate
from test_run_modes import wait_until

SWAY_CONFIG = """xwayland enable
default_border none
exec sh -c 'echo $DISPLAY > "$XDG_RUNTIME_DIR/xwayland-display"'
"""


class UnderSway(unittest.TestCase):
    def setUp(self):
        self.server = VirtualServer("1280x720")
        self.addCleanup(self.server.stop)
        self.outer_display = self.server.start()
        self.scratch = tempfile.TemporaryDirectory()
        self.addCleanup(self.scratch.cleanup)
        runtime = os.path.join(self.scratch.name, "runtime")
        self.home = os.path.join(self.scratch.name, "home")
        os.mkdir(runtime, 0o700)
        os.mkdir(self.home)
        config = os.path.join(self.scratch.name, "sway.conf")
        with open(config, "w") as out:
            out.write(SWAY_CONFIG)
        # sway refuses to run as root, and Xwayland lets in only its own user's clients.
        self.as_user = []
        if os.getuid() == 0:
            for path in (self.scratch.name, runtime, self.home, config):
                os.chown(path, 65534, 65534)
            self.as_user = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
        environment = dict(os.environ, DISPLAY=self.outer_display, XDG_RUNTIME_DIR=runtime, HOME=self.home,
                           WLR_BACKENDS="x11", WLR_RENDERER="pixman", WLR_X11_OUTPUTS="1")
        environment.pop("WAYLAND_DISPLAY", None)
        self.log = tempfile.TemporaryFile()
        self.addCleanup(self.log.close)
        self.sway = subprocess.Popen([*self.as_user, "sway", "-c", config], env=environment,
                                     stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT)
        self.addCleanup(self.stop_sway)
        display_file = os.path.join(runtime, "xwayland-display")
        self.assertTrue(wait_until(lambda: os.path.exists(display_file) and os.path.getsize(display_file) > 0,
                                   timeout=20), self.sway_log())
        with open(display_file) as name:
            self.xwayland_display = name.read().strip()
        self.screen = Screen(self.outer_display)  # what the compositor shows, read back
        self.addCleanup(self.screen.close)

    def stop_sway(self):
        if self.sway.poll() is None:
            self.sway.send_signal(signal.SIGTERM)
            self.sway.wait(timeout=10)

    def sway_log(self):
        self.log.seek(0)
        return self.log.read().decode("utf-8", "replace")

    def move_pointer(self, x, y):
        """Moves the compositor's pointer (the outer server's), which Xwayland learns of only
        when the pointer is over one of its windows."""
        subprocess.run(["xdotool", "mousemove", str(x), str(y)], env=dict(os.environ, DISPLAY=self.outer_display),
                       check=True)

    def test_a_stale_first_position_keeps_the_show_and_a_real_move_ends_it(self):
        # The user's pointer far from the centre of Xwayland's screen, where Xwayland thinks it is.
        self.move_pointer(100, 100)
        program = Program("/s", command=[*self.as_user, BINARY], home=self.home,
                          env={"DISPLAY": self.xwayland_display})
        self.addCleanup(program.stop)
        shown = wait_until(lambda: is_slate(self.screen.pixel(600, 400)) and is_slate(self.screen.pixel(50, 650)),
                           timeout=60)
        self.assertTrue(shown, program.output() + self.sway_log())
        # Long after the focus and the real position have come.
        time.sleep(1.5)
        self.assertTrue(program.running(), "the show ended by itself:\n" + program.output())
        started = time.monotonic()
        self.move_pointer(140, 100)
        self.assertEqual(program.wait(timeout=10), 0, program.output())
        self.assertLess(time.monotonic() - started, 1.0)


if __name__ == "__main__":
    unittest.main()
