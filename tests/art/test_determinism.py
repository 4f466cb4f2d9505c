"""Two runs of the generator give byte-identical files, and the same bytes as
the folder under test: the build's art is what this code draws."""

import filecmp
import os
import tempfile
import unittest

import artlib

SAMPLE = ("female_zombie_walk_N", "swat_soldier_hit_SW", "particle", "icon_24")


class DeterminismTest(unittest.TestCase):
    def test_repeat_runs_match_byte_for_byte(self):
        with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
            artlib.generate(a, *SAMPLE)
            artlib.generate(b, *SAMPLE)
            names = sorted(os.listdir(a))
            self.assertEqual(names, sorted(n + ".png" for n in SAMPLE))
            self.assertEqual(names, sorted(os.listdir(b)))
            for n in names:
                self.assertTrue(filecmp.cmp(os.path.join(a, n), os.path.join(b, n), shallow=False), n)
            # The folder under test was produced by the same code: same bytes.
            for n in names:
                self.assertTrue(filecmp.cmp(os.path.join(a, n), os.path.join(artlib.art_dir(), n),
                                            shallow=False), "%s differs from the built copy" % n)


if __name__ == "__main__":
    unittest.main()
