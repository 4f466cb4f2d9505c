"""The particle glow and the application icons: format, size, and the shapes
that keep them readable at every size."""

import os
import unittest

import numpy as np

import artlib


def _load(name):
    return artlib.decode_file(os.path.join(artlib.art_dir(), name))


class ParticleTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.img = _load("particle.png")
        cls.a = cls.img[..., 3].astype(np.int32)

    def test_format_and_size(self):
        h = artlib.ihdr(os.path.join(artlib.art_dir(), "particle.png"))
        self.assertEqual((h["width"], h["height"], h["depth"], h["color_type"], h["interlace"]),
                         (840, 859, 8, 6, 0))

    def test_bright_centre_and_clear_edges(self):
        a = self.a
        self.assertGreater(a[429, 419], 240)
        self.assertEqual(int(np.concatenate([a[0], a[-1], a[:, 0], a[:, -1]]).max()), 0)

    def test_alpha_falls_off_smoothly_from_the_centre(self):
        a = self.a
        for ray in (a[429, 419:], a[429, 419::-1], a[429:, 419], a[429::-1, 419]):
            steps = np.diff(ray)
            self.assertLessEqual(steps.max(), 0, "alpha rises going outwards")
            self.assertLessEqual(-steps.min(), 4, "alpha falls off in a visible step")

    def test_round(self):
        ys, xs = np.nonzero(self.a > 8)
        self.assertLess(abs((xs.max() - xs.min()) - (ys.max() - ys.min())), 3)


class IconTest(unittest.TestCase):
    def test_every_size_is_square_rgba(self):
        for s in artlib.ICON_SIZES:
            with self.subTest(s):
                h = artlib.ihdr(os.path.join(artlib.art_dir(), "icon_%d.png" % s))
                self.assertEqual((h["width"], h["height"], h["depth"], h["color_type"], h["interlace"]),
                                 (s, s, 8, 6, 0))

    def test_icons_fill_their_tile(self):
        for s in artlib.ICON_SIZES:
            img = _load("icon_%d.png" % s)
            with self.subTest(s):
                self.assertGreater((img[..., 3] > 200).mean(), 0.75)
                self.assertEqual(int(img[s // 2, s // 2, 3]), 255)

    def test_small_icons_keep_contrast(self):
        # A muddy blur at 16 px would have little spread in brightness.
        for s in (16, 24, 32):
            img = artlib.unpremultiply(_load("icon_%d.png" % s))
            lum = img @ np.array([0.299, 0.587, 0.114])
            with self.subTest(s):
                self.assertGreater(lum.std(), 25.0)

    def test_sizes_show_the_same_design(self):
        big = _load("icon_512.png").astype(np.float64)
        for s in (64, 128, 256):
            small = _load("icon_%d.png" % s).astype(np.float64)
            f = 512 // s
            shrunk = big.reshape(s, f, s, f, 4).mean(axis=(1, 3))
            with self.subTest(s):
                self.assertLess(np.abs(shrunk - small).mean(), 12.0)


if __name__ == "__main__":
    unittest.main()
