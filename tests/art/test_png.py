"""Our PNG encoder, checked against libpng's decoder: round trips through every
filter, the chunk layout, and the conversion from cairo surfaces."""

import struct
import unittest
import zlib

import cairo
import numpy as np

import artlib
from spritegen import pngio     # tools/ is on PYTHONPATH (art.cmake sets it)

ALL_FILTERS = ("none", "sub", "up", "average", "paeth", "adaptive")


def _test_image(h, w, seed, alpha=True):
    rng = np.random.RandomState(seed)
    img = rng.randint(0, 256, (h, w, 4)).astype(np.uint8)
    # Smooth ramps plus noise so every filter type gets picked by the adaptive search.
    img[: h // 2, :, 0] = (np.arange(w) * 7 % 256).astype(np.uint8)
    img[:, : w // 3, 1] = 40
    if not alpha:
        img[..., 3] = 255
    return img


def _premultiply(img):
    a = img[..., 3:4].astype(np.uint32)
    rgb = (img[..., :3].astype(np.uint32) * a + 127) // 255
    return np.concatenate([rgb, a], axis=2).astype(np.int32)


class RoundTripTest(unittest.TestCase):
    def test_opaque_image_survives_every_filter_exactly(self):
        img = _test_image(37, 53, 1, alpha=False)
        for f in ALL_FILTERS:
            with self.subTest(f):
                out = artlib.decode_bytes(pngio.encode_png(img, row_filter=f))
                np.testing.assert_array_equal(out, img)

    def test_translucent_image_keeps_alpha_and_colour(self):
        img = _test_image(29, 41, 2)
        for f in ALL_FILTERS:
            with self.subTest(f):
                out = artlib.decode_bytes(pngio.encode_png(img, row_filter=f, level=9)).astype(np.int32)
                np.testing.assert_array_equal(out[..., 3], img[..., 3])
                # libpng hands cairo straight colour, cairo premultiplies: allow rounding.
                self.assertLessEqual(np.abs(out - _premultiply(img)).max(), 1)

    def test_tiny_and_odd_sizes(self):
        for h, w in ((1, 1), (1, 7), (5, 1), (3, 3)):
            img = _test_image(h, w, h * 10 + w, alpha=False)
            with self.subTest(size=(h, w)):
                np.testing.assert_array_equal(artlib.decode_bytes(pngio.encode_png(img, row_filter="paeth")), img)

    def test_rejects_non_rgba_arrays(self):
        with self.assertRaises(ValueError):
            pngio.encode_png(np.zeros((4, 4, 3), np.uint8))
        with self.assertRaises(ValueError):
            pngio.encode_png(np.zeros((4, 4), np.uint8))


class ChunkTest(unittest.TestCase):
    def test_only_header_data_and_end_with_valid_crcs(self):
        data = pngio.encode_png(_test_image(8, 9, 3))
        kinds = []
        pos = 8
        while pos < len(data):
            (n,) = struct.unpack(">I", data[pos:pos + 4])
            kind, payload = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + n]
            (crc,) = struct.unpack(">I", data[pos + 8 + n:pos + 12 + n])
            self.assertEqual(crc, zlib.crc32(kind + payload) & 0xFFFFFFFF, kind)
            kinds.append(kind)
            pos += 12 + n
        self.assertEqual(kinds, [b"IHDR", b"IDAT", b"IEND"])
        self.assertEqual(pos, len(data))

    def test_header_fields(self):
        data = pngio.encode_png(_test_image(6, 11, 4))
        w, h, depth, ctype, comp, filt, inter = struct.unpack(">IIBBBBB", data[16:29])
        self.assertEqual((w, h, depth, ctype, comp, filt, inter), (11, 6, 8, 6, 0, 0, 0))

    def test_filter_bytes_match_the_request(self):
        img = _test_image(5, 6, 5)
        for name, code in pngio.FILTERS.items():
            rows = pngio.filter_rows(img, name)
            self.assertTrue((rows[:, 0] == code).all(), name)


class SurfaceConversionTest(unittest.TestCase):
    def test_cairo_premultiplied_pixels_come_back_straight(self):
        surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, 4, 2)
        ctx = cairo.Context(surf)
        ctx.set_operator(cairo.OPERATOR_SOURCE)
        ctx.set_source_rgba(200 / 255, 100 / 255, 50 / 255, 128 / 255)
        ctx.rectangle(0, 0, 2, 2)
        ctx.fill()
        ctx.set_source_rgba(1.0, 1.0, 1.0, 0.0)
        ctx.rectangle(2, 0, 2, 2)
        ctx.fill()
        surf.flush()
        out = pngio.argb32_to_rgba(surf.get_data(), 4, 2, surf.get_stride()).astype(int)
        self.assertEqual(out[0, 0, 3], 128)
        self.assertLessEqual(np.abs(out[0, 0, :3] - [200, 100, 50]).max(), 2)
        # Fully transparent pixels carry no colour.
        self.assertEqual(out[0, 3].tolist(), [0, 0, 0, 0])


if __name__ == "__main__":
    unittest.main()
