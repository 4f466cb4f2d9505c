"""The manifest check: the real manifest passes, planted mistakes are each
reported on their own line and nothing else is."""

import os
import tempfile
import unittest

import artlib

MANIFEST = os.path.join(artlib.ROOT, "assets", "resources.manifest")


def _check(path):
    result = artlib.run_generator("--check-manifest", path, capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


class ManifestCheckTest(unittest.TestCase):
    def test_real_manifest_agrees_silently(self):
        self.assertEqual(_check(MANIFEST), (0, ""))

    def test_planted_mistakes_are_each_named_with_their_line(self):
        with open(MANIFEST) as f:
            lines = f.read().splitlines()

        def index_of(name):
            return next(i for i, line in enumerate(lines) if " %s " % name in line)

        north_east, north_west = index_of("female_zombie_run_NE"), index_of("female_zombie_run_NW")
        walk_south = index_of("male_zombie_walk_S")
        hit_south_east = index_of("swat_soldier_hit_SE")
        self.assertLess(walk_south, hit_south_east)      # the deletion must not shift the others
        # Trade the two headings' ids, as a hand edit reordering a block might.
        ne_id, ne_rest = lines[north_east].split(" ", 1)
        nw_id, nw_rest = lines[north_west].split(" ", 1)
        lines[north_east], lines[north_west] = nw_id + " " + ne_rest, ne_id + " " + nw_rest
        lines[walk_south] = lines[walk_south].replace("frames=35", "frames=34")
        del lines[hit_south_east]

        with tempfile.TemporaryDirectory() as folder:
            planted = os.path.join(folder, "resources.manifest")
            with open(planted, "w") as f:
                f.write("\n".join(lines) + "\n")
            code, output = _check(planted)
        self.assertEqual(code, 1)
        reports = output.splitlines()

        def reported(line_index, *words):
            prefix = "%s:%d:" % (planted, line_index + 1)
            return any(r.startswith(prefix) and all(w in r for w in words) for r in reports)

        self.assertTrue(reported(north_east, "female_zombie_run_NE", "id"), output)
        self.assertTrue(reported(north_west, "female_zombie_run_NW", "id"), output)
        self.assertTrue(reported(walk_south, "male_zombie_walk_S", "frames"), output)
        self.assertTrue(any("swat_soldier_hit_SE" in r and r.startswith(planted + ":") for r in reports), output)
        self.assertEqual(len(reports), 4, output)


if __name__ == "__main__":
    unittest.main()
