"""Sprite sheets: format, framing, motion, headings and the cast, read from
$GRAVEFALL_ART_DIR (the build's art) or a fresh generation."""

import os
import unittest

import numpy as np

import artlib
from artlib import catalogue, frames, opaque, unpremultiply

CAT = catalogue()
MARGIN = 3          # px of clear space round every frame


def _lowest_row(f):
    rows = np.nonzero(opaque(f).any(axis=1))[0]
    return rows[-1] if len(rows) else -1


def _top_row(f):
    rows = np.nonzero(opaque(f).any(axis=1))[0]
    return rows[0] if len(rows) else -1


def _alpha_diff(a, b):
    return np.abs(a[..., 3].astype(np.int32) - b[..., 3].astype(np.int32)).sum() / 255.0


class FormatTest(unittest.TestCase):
    def test_folder_holds_exactly_the_expected_files(self):
        expected = {n + ".png" for n in CAT} | {"particle.png"}
        expected |= {"icon_%d.png" % s for s in artlib.ICON_SIZES}
        present = {f for f in os.listdir(artlib.art_dir()) if f.endswith(".png")}
        self.assertEqual(present, expected)

    def test_ids_follow_direction_order(self):
        self.assertEqual(CAT["male_zombie_walk_N"]["id"], 226)
        self.assertEqual(CAT["swat_soldier_hit_E"]["id"], 241)
        self.assertEqual(CAT["female_zombie_walk_N"]["height"], 220)
        self.assertEqual(sorted(v["id"] for v in CAT.values()), list(range(201, 249)))

    def test_every_sheet_is_plain_8bit_rgba_of_the_right_size(self):
        for name, info in CAT.items():
            with self.subTest(name):
                path = os.path.join(artlib.art_dir(), name + ".png")
                h = artlib.ihdr(path)
                self.assertEqual((h["width"], h["height"]), (info["width"], info["height"]))
                self.assertEqual(h["depth"], 8)
                self.assertEqual(h["color_type"], 6)
                self.assertEqual(h["interlace"], 0)
                self.assertEqual(info["width"], info["frames"] * info["frame_w"])
                with open(path, "rb") as f:
                    kinds = [k for k, _ in artlib.chunks(f.read())]
                self.assertEqual(kinds[0], b"IHDR")
                self.assertEqual(kinds[-1], b"IEND")
                self.assertEqual(set(kinds[1:-1]), {b"IDAT"}, "only image data chunks expected")
                img = artlib.load(name)
                self.assertEqual(img.shape, (info["height"], info["width"], 4))


class FramingTest(unittest.TestCase):
    def test_figure_clear_of_frame_edges(self):
        for name in CAT:
            for i, f in enumerate(frames(name)):
                a = f[..., 3]
                border = np.concatenate([a[:MARGIN].ravel(), a[-MARGIN:].ravel(),
                                         a[:, :MARGIN].ravel(), a[:, -MARGIN:].ravel()])
                self.assertEqual(int(border.max()), 0, "%s frame %d touches its edge" % (name, i))

    def test_every_frame_has_a_sizeable_figure(self):
        for name, info in CAT.items():
            for i, f in enumerate(frames(name)):
                with self.subTest(name=name, frame=i):
                    self.assertGreater(opaque(f).sum(), 0.04 * f.shape[0] * f.shape[1])
                    height = _lowest_row(f) - _top_row(f)
                    self.assertGreater(height, 0.5 * min(info["height"], info["frame_w"]))

    def test_feet_stay_on_the_ground_line(self):
        for name, info in CAT.items():
            h = info["height"]
            ground = artlib.GROUND * h
            lows = np.array([_lowest_row(f) for f in frames(name)])
            with self.subTest(name):
                self.assertLess(np.abs(lows - ground).max(), 0.06 * h, lows.tolist())
                self.assertLess(abs(np.median(lows) - ground), 0.03 * h)
            if info["heading"] in ("E", "W"):
                # Side views put both feet at the same depth: tighter.
                self.assertLess(np.abs(lows - ground).max(), 0.035 * h, name)

    def test_odd_height_sheets_keep_the_figure_size(self):
        """Taller sheets get more headroom, not a bigger figure."""
        def height(name):
            return np.median([_lowest_row(f) - _top_row(f) for f in frames(name)])

        def width(name):
            spans = []
            for f in frames(name):
                cols = np.nonzero(opaque(f).any(axis=0))[0]
                spans.append(cols[-1] - cols[0])
            return np.median(spans)

        # NE and NW are mirror views, so their heights match. N and S see the
        # same lateral extents (front and back), so their widths match.
        partner = {"NE": ("NW", height), "N": ("S", width)}
        checked = 0
        for name, info in CAT.items():
            if info["heading"] not in partner:
                continue
            ref, measure = partner[info["heading"]]
            ref_name = info["prefix"] + ref
            if CAT[ref_name]["height"] == info["height"]:
                continue
            checked += 1
            with self.subTest(name):
                self.assertLess(abs(measure(name) - measure(ref_name)), 0.04 * measure(ref_name))
        self.assertEqual(checked, 4)


class MotionTest(unittest.TestCase):
    def test_no_frozen_frames(self):
        for name in CAT:
            fs = frames(name)
            for i in range(len(fs)):
                d = _alpha_diff(fs[i], fs[(i + 1) % len(fs)])
                self.assertGreater(d, 20.0, "%s frames %d and %d look identical" % (name, i, (i + 1) % len(fs)))

    def test_last_frame_flows_into_the_first(self):
        for name in CAT:
            fs = frames(name)
            steps = [_alpha_diff(fs[i], fs[i + 1]) for i in range(len(fs) - 1)]
            wrap = _alpha_diff(fs[-1], fs[0])
            with self.subTest(name):
                self.assertLess(wrap, 2.0 * np.median(steps), "jump at the loop point")

    def test_run_strides_further_than_walk(self):
        for who in ("male_zombie_", "female_zombie_"):
            spans = {}
            for kind in ("run_", "walk_"):
                widths = []
                for f in frames(who + kind + "E"):
                    top, low = _top_row(f), _lowest_row(f)
                    legs = opaque(f)[low - (low - top) // 4:low + 1]
                    cols = np.nonzero(legs.any(axis=0))[0]
                    widths.append(cols[-1] - cols[0])
                spans[kind] = max(widths)
            with self.subTest(who):
                self.assertGreater(spans["run_"], 1.2 * spans["walk_"])


def _centroid_x(f):
    ys, xs = np.nonzero(opaque(f))
    return xs.mean() - f.shape[1] / 2.0


def _cells(f, cell=10):
    """Coarse occupancy grid, so thin limbs a few pixels apart still overlap."""
    m = opaque(f)
    h, w = m.shape
    m = m[:h - h % cell, :w - w % cell]
    return m.reshape(h // cell, cell, w // cell, cell).any(axis=(1, 3))


def _iou(a, b):
    return (a & b).sum() / max(1, (a | b).sum())


class HeadingTest(unittest.TestCase):
    def test_east_faces_right_and_west_faces_left(self):
        for prefix in {v["prefix"] for v in CAT.values()}:
            # Frame 0 of every cycle is an ordinary stride or the ready stance.
            e = _centroid_x(frames(prefix + "E")[0])
            w = _centroid_x(frames(prefix + "W")[0])
            with self.subTest(prefix):
                self.assertGreater(e, 2.0)
                self.assertLess(w, -2.0)

    def test_west_mirrors_east_in_silhouette(self):
        for prefix in {v["prefix"] for v in CAT.values()}:
            mirrored, plain = [], []
            for fe, fw in zip(frames(prefix + "E"), frames(prefix + "W")):
                a, b = _cells(fe), _cells(fw)
                mirrored.append(_iou(a, b[:, ::-1]))
                plain.append(_iou(a, b))
            with self.subTest(prefix):
                self.assertGreater(np.mean(mirrored), 0.7)
                self.assertGreater(np.mean(mirrored), np.mean(plain) + 0.1)

    def test_north_shows_the_back_and_south_the_front(self):
        """Front and back outlines match (mirrored), so compare the heads pixel by pixel."""
        for prefix in {v["prefix"] for v in CAT.values()}:
            diffs = []
            for fn, fs in zip(frames(prefix + "N"), frames(prefix + "S")):
                fs = fs[:, ::-1]
                tn, ts = _top_row(fn), _top_row(fs)
                span = (_lowest_row(fn) - tn) // 5
                a, b = fn[tn:tn + span], fs[ts:ts + span]
                both = opaque(a, 250) & opaque(b, 250)
                d = np.abs(unpremultiply(a)[both] - unpremultiply(b)[both]).sum(axis=1)
                diffs.append(d.mean())
            with self.subTest(prefix):
                self.assertGreater(np.mean(diffs), 40.0)

    def test_headings_are_all_different(self):
        for prefix in {v["prefix"] for v in CAT.values()}:
            firsts = {d: opaque(frames(prefix + d)[0]) for d in artlib.DIRECTIONS}
            for i, a in enumerate(artlib.DIRECTIONS):
                for b in artlib.DIRECTIONS[i + 1:]:
                    fa, fb = firsts[a], firsts[b]
                    hh = min(fa.shape[0], fb.shape[0])
                    diff = (fa[-hh:] != fb[-hh:]).sum()
                    self.assertGreater(diff, 200, "%s%s vs %s%s" % (prefix, a, prefix, b))


class CastTest(unittest.TestCase):
    def test_characters_have_distinct_palettes(self):
        means = {}
        for who in ("male_zombie_walk_S", "female_zombie_walk_S", "swat_soldier_walk_S"):
            px = [unpremultiply(f)[opaque(f)] for f in frames(who)]
            means[who] = np.concatenate(px).mean(axis=0)
        names = sorted(means)
        for i, a in enumerate(names):
            for b in names[i + 1:]:
                with self.subTest(a=a, b=b):
                    self.assertGreater(np.linalg.norm(means[a] - means[b]), 30.0)

    def test_each_character_keeps_its_palette_across_animations(self):
        def mean(name):
            return np.concatenate([unpremultiply(f)[opaque(f)] for f in frames(name)[::5]]).mean(axis=0)

        for a, b in (("male_zombie_walk_S", "male_zombie_run_S"),
                     ("female_zombie_walk_S", "female_zombie_run_S"),
                     ("swat_soldier_walk_S", "swat_soldier_hit_S")):
            with self.subTest(a=a, b=b):
                self.assertLess(np.linalg.norm(mean(a) - mean(b)), 20.0)


if __name__ == "__main__":
    unittest.main()
