"""Minimal PNG writer: 8-bit RGBA, IHDR + IDAT + IEND only.

Encoding is ours so the bytes depend only on the pixels and these settings,
and so the filter/compression trade-off can be tuned for decode speed.
"""

import struct
import zlib

import numpy as np

SIGNATURE = b"\x89PNG\r\n\x1a\n"
FILTERS = {"none": 0, "sub": 1, "up": 2, "average": 3, "paeth": 4}

# Chosen with bench_decode.cpp: unfiltered rows inflate fastest under stb_image
# and, for these mostly transparent flat-shaded sheets, are also the smallest.
DEFAULT_FILTER = "none"
DEFAULT_LEVEL = 6
DEFAULT_STRATEGY = zlib.Z_DEFAULT_STRATEGY


def _chunk(kind, data):
    head = struct.pack(">I", len(data)) + kind
    return head + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = np.abs(p - a), np.abs(p - b), np.abs(p - c)
    return np.where((pa <= pb) & (pa <= pc), a, np.where(pb <= pc, b, c))


def filter_rows(rgba, method):
    """Return (H, 1 + W*4) uint8 rows, each prefixed with its filter type."""
    h, w, _ = rgba.shape
    raw = rgba.reshape(h, w * 4).astype(np.int16)
    left = np.zeros_like(raw)
    left[:, 4:] = raw[:, :-4]
    up = np.zeros_like(raw)
    up[1:] = raw[:-1]
    cand = {}

    def make(name):
        if name not in cand:
            if name == "none":
                cand[name] = raw
            elif name == "sub":
                cand[name] = raw - left
            elif name == "up":
                cand[name] = raw - up
            elif name == "average":
                cand[name] = raw - (left + up) // 2
            elif name == "paeth":
                upleft = np.zeros_like(raw)
                upleft[1:, 4:] = raw[:-1, :-4]
                cand[name] = raw - _paeth(left, up, upleft)
        return cand[name]

    if method == "adaptive":
        # Classic heuristic: per row, the filter with the smallest sum of |signed byte|.
        names = ["none", "sub", "up", "average", "paeth"]
        scores = []
        for n in names:
            f = make(n) & 0xFF
            signed = np.where(f > 127, 256 - f, f)
            scores.append(signed.sum(axis=1))
        choice = np.argmin(np.stack(scores), axis=0)
        out = np.empty((h, w * 4), np.int16)
        for i, n in enumerate(names):
            rows = choice == i
            out[rows] = make(n)[rows]
        types = np.array([FILTERS[n] for n in names], np.uint8)[choice]
    else:
        out = make(method)
        types = np.full(h, FILTERS[method], np.uint8)
    data = np.empty((h, 1 + w * 4), np.uint8)
    data[:, 0] = types
    data[:, 1:] = (out & 0xFF).astype(np.uint8)
    return data


def encode_png(rgba, filt=DEFAULT_FILTER, level=DEFAULT_LEVEL, strategy=DEFAULT_STRATEGY):
    rgba = np.ascontiguousarray(rgba, dtype=np.uint8)
    if rgba.ndim != 3 or rgba.shape[2] != 4:
        raise ValueError("expected an H x W x 4 array")
    h, w, _ = rgba.shape
    rows = filter_rows(rgba, filt)
    comp = zlib.compressobj(level, zlib.DEFLATED, 15, 9, strategy)
    idat = comp.compress(rows.tobytes()) + comp.flush()
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)
    return SIGNATURE + _chunk(b"IHDR", ihdr) + _chunk(b"IDAT", idat) + _chunk(b"IEND", b"")


def write_png(path, rgba, **kw):
    data = encode_png(rgba, **kw)
    with open(path, "wb") as f:
        f.write(data)
    return len(data)


def argb32_to_rgba(buf, w, h, stride):
    """Cairo's premultiplied native-endian ARGB32 -> straight RGBA uint8.

    Fully transparent pixels get zero colour so they compress well and never
    leak stray colour into filtering on the GPU.
    """
    a = np.frombuffer(buf, np.uint8).reshape(h, stride)[:, :w * 4].reshape(h, w, 4)
    if np.little_endian:
        b, g, r, al = a[..., 0], a[..., 1], a[..., 2], a[..., 3]
    else:
        al, r, g, b = a[..., 0], a[..., 1], a[..., 2], a[..., 3]
    al32 = al.astype(np.uint32)
    safe = np.maximum(al32, 1)
    out = np.empty((h, w, 4), np.uint8)
    for i, c in enumerate((r, g, b)):
        v = (c.astype(np.uint32) * 255 + safe // 2) // safe
        out[..., i] = np.where(al32 == 0, 0, np.minimum(v, 255))
    out[..., 3] = al
    return out
