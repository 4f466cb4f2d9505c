"""The program over every hostile home: each start ends with its first frame and exit code 0,
none hangs, none crashes (the figures of each are scripts/bench-hostile's)."""

import os
import unittest

import hostile_homes
from harness import BINARY


class HostileHomes(unittest.TestCase):
    def test_every_hostile_home_still_shows_the_desktop(self):
        for name in hostile_homes.CASES:
            with self.subTest(name):
                code, frame, _memory, output = hostile_homes.run(name, BINARY, os.environ.get("GRAVEFALL_PRELOAD"))
                self.assertEqual(code, 0, output[-2000:])
                self.assertIsNotNone(frame, output[-2000:])


if __name__ == "__main__":
    unittest.main()
