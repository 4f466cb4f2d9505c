"""Minimal PNG writer: 8-bit RGBA, IHDR + IDAT + IEND only.

Encoding is ours so the bytes depend only on the pixels and these settings,
and so the filter/compression trade-off can be tuned for decode speed.
"""

import struct
import zlib

import numpy as np

SIGNATURE = b"\x89PNG\r\n\x1a\n"
FILTERS = {"none": 0, "sub": 1, "up": 2, "average": 3, "paeth": 4}

# Measured against the program's start-up decoder: unfiltered rows inflate
# fastest and, for these mostly transparent flat-shaded sheets, are also the smallest.
DEFAULT_FILTER = "none"
DEFAULT_LEVEL = 6
DEFAULT_STRATEGY = zlib.Z_DEFAULT_STRATEGY


def _chunk(kind, payload):
    head = struct.pack(">I", len(payload)) + kind
    return head + payload + struct.pack(">I", zlib.crc32(kind + payload) & 0xFFFFFFFF)


def _paeth(left, up, up_left):
    estimate = left + up - up_left
    to_left, to_up, to_up_left = np.abs(estimate - left), np.abs(estimate - up), np.abs(estimate - up_left)
    return np.where((to_left <= to_up) & (to_left <= to_up_left), left,
                    np.where(to_up <= to_up_left, up, up_left))


def filter_rows(rgba, method):
    """Return (H, 1 + W*4) uint8 rows, each prefixed with its filter type."""
    height, width, _ = rgba.shape
    raw = rgba.reshape(height, width * 4).astype(np.int16)
    left = np.zeros_like(raw)
    left[:, 4:] = raw[:, :-4]
    up = np.zeros_like(raw)
    up[1:] = raw[:-1]
    filtered = {}

    def apply(name):
        if name not in filtered:
            if name == "none":
                filtered[name] = raw
            elif name == "sub":
                filtered[name] = raw - left
            elif name == "up":
                filtered[name] = raw - up
            elif name == "average":
                filtered[name] = raw - (left + up) // 2
            elif name == "paeth":
                up_left = np.zeros_like(raw)
                up_left[1:, 4:] = raw[:-1, :-4]
                filtered[name] = raw - _paeth(left, up, up_left)
        return filtered[name]

    if method == "adaptive":
        # Classic heuristic: per row, the filter with the smallest sum of |signed byte|.
        names = ["none", "sub", "up", "average", "paeth"]
        scores = []
        for name in names:
            as_bytes = apply(name) & 0xFF
            signed = np.where(as_bytes > 127, 256 - as_bytes, as_bytes)
            scores.append(signed.sum(axis=1))
        choice = np.argmin(np.stack(scores), axis=0)
        rows = np.empty((height, width * 4), np.int16)
        for index, name in enumerate(names):
            chosen = choice == index
            rows[chosen] = apply(name)[chosen]
        types = np.array([FILTERS[name] for name in names], np.uint8)[choice]
    else:
        rows = apply(method)
        types = np.full(height, FILTERS[method], np.uint8)
    data = np.empty((height, 1 + width * 4), np.uint8)
    data[:, 0] = types
    data[:, 1:] = (rows & 0xFF).astype(np.uint8)
    return data


def encode_png(rgba, row_filter=DEFAULT_FILTER, level=DEFAULT_LEVEL, strategy=DEFAULT_STRATEGY):
    rgba = np.ascontiguousarray(rgba, dtype=np.uint8)
    if rgba.ndim != 3 or rgba.shape[2] != 4:
        raise ValueError("expected an H x W x 4 array")
    height, width, _ = rgba.shape
    rows = filter_rows(rgba, row_filter)
    compressor = zlib.compressobj(level, zlib.DEFLATED, 15, 9, strategy)
    image_data = compressor.compress(rows.tobytes()) + compressor.flush()
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return SIGNATURE + _chunk(b"IHDR", header) + _chunk(b"IDAT", image_data) + _chunk(b"IEND", b"")


def write_png(path, rgba, **encoding):
    data = encode_png(rgba, **encoding)
    with open(path, "wb") as f:
        f.write(data)
    return len(data)


def argb32_to_rgba(buffer, width, height, stride):
    """Cairo's premultiplied native-endian ARGB32 -> straight RGBA uint8.

    Fully transparent pixels get zero colour so they compress well and never
    leak stray colour into filtering on the GPU.
    """
    pixels = np.frombuffer(buffer, np.uint8).reshape(height, stride)[:, :width * 4].reshape(height, width, 4)
    if np.little_endian:
        blue, green, red, alpha = pixels[..., 0], pixels[..., 1], pixels[..., 2], pixels[..., 3]
    else:
        alpha, red, green, blue = pixels[..., 0], pixels[..., 1], pixels[..., 2], pixels[..., 3]
    alpha32 = alpha.astype(np.uint32)
    divisor = np.maximum(alpha32, 1)
    out = np.empty((height, width, 4), np.uint8)
    for index, channel in enumerate((red, green, blue)):
        straight = (channel.astype(np.uint32) * 255 + divisor // 2) // divisor
        out[..., index] = np.where(alpha32 == 0, 0, np.minimum(straight, 255))
    out[..., 3] = alpha
    return out
