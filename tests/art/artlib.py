"""Shared helpers for the art tests: the expected catalogue and PNG loading.

Images are decoded with libpng (through cairo), independently of our encoder.
"""

import functools
import os
import struct
import subprocess
import sys
import tempfile

import cairo
import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
TOOLS = os.path.join(ROOT, "tools")          # holds the spritegen package
PYTHON = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable

DIRECTIONS = ("E", "N", "NE", "NW", "S", "SE", "SW", "W")
GROUND = 0.88

# (first id, prefix, width, height, frames, frame width, {id: odd height})
BLOCKS = (
    (201, "female_zombie_run_", 5000, 200, 25, 200, {202: 205, 203: 205}),
    (209, "female_zombie_walk_", 7200, 200, 36, 200, {210: 220}),
    (217, "male_zombie_run_", 6250, 250, 25, 250, {}),
    (225, "male_zombie_walk_", 8750, 250, 35, 250, {}),
    (233, "swat_soldier_walk_", 6250, 250, 25, 250, {}),
    (241, "swat_soldier_hit_", 9000, 250, 36, 250, {242: 280}),
)
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256, 512)


def catalogue():
    """name -> dict(id, width, height, frames, frame_w, heading, prefix)."""
    out = {}
    for base, prefix, w, h, frames, fw, odd in BLOCKS:
        for i, d in enumerate(DIRECTIONS):
            sid = base + i
            out[prefix + d] = dict(id=sid, width=w, height=odd.get(sid, h), frames=frames,
                                   frame_w=fw, heading=d, prefix=prefix)
    return out


_tmp_art = None


def art_dir():
    """The folder under test: $GRAVEFALL_ART_DIR, else a fresh generation."""
    global _tmp_art
    d = os.environ.get("GRAVEFALL_ART_DIR")
    if d:
        return d
    if _tmp_art is None:
        _tmp_art = tempfile.TemporaryDirectory(prefix="gravefall_art_")
        generate(_tmp_art.name)
    return _tmp_art.name


def run_generator(*args, **kwargs):
    """python3 -m spritegen ARGS, with tools/ on its PYTHONPATH; kwargs go to subprocess.run."""
    path = os.pathsep.join(p for p in (TOOLS, os.environ.get("PYTHONPATH")) if p)
    return subprocess.run([PYTHON, "-B", "-m", "spritegen", *args],
                          env=dict(os.environ, PYTHONPATH=path), **kwargs)


def generate(out, *only):
    args = ["--out", out]
    for n in only:
        args += ["--only", n]
    run_generator(*args, check=True, stdout=subprocess.DEVNULL)


def chunks(data):
    """List of (type, payload) after the signature."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "bad PNG signature"
    pos, out = 8, []
    while pos < len(data):
        (n,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        out.append((kind, data[pos + 8:pos + 8 + n]))
        pos += 12 + n
    return out


def ihdr(path):
    with open(path, "rb") as f:
        data = f.read()
    kind, payload = chunks(data)[0]
    assert kind == b"IHDR"
    w, h, depth, ctype, comp, filt, interlace = struct.unpack(">IIBBBBB", payload)
    return dict(width=w, height=h, depth=depth, color_type=ctype, compression=comp,
                filter=filt, interlace=interlace)


def decode_bytes(data):
    """PNG bytes -> (H, W, 4) RGBA with premultiplied colour, via libpng."""
    fd, path = tempfile.mkstemp(suffix=".png")
    try:
        with os.fdopen(fd, "wb") as f:
            f.write(data)
        return decode_file(path)
    finally:
        os.unlink(path)


def decode_file(path):
    s = cairo.ImageSurface.create_from_png(path)
    w, h, stride = s.get_width(), s.get_height(), s.get_stride()
    a = np.frombuffer(s.get_data(), np.uint8).reshape(h, stride)[:, :w * 4].reshape(h, w, 4)
    idx = [2, 1, 0, 3] if sys.byteorder == "little" else [1, 2, 3, 0]
    return a[..., idx].copy()


@functools.lru_cache(maxsize=None)
def load(name):
    return decode_file(os.path.join(art_dir(), name + ".png"))


def frames(name):
    """List of (H, fw, 4) frames of a sheet."""
    info = catalogue()[name]
    img = load(name)
    fw = info["frame_w"]
    return [img[:, i * fw:(i + 1) * fw] for i in range(info["frames"])]


def unpremultiply(rgba):
    a = rgba[..., 3:4].astype(np.float64)
    rgb = rgba[..., :3].astype(np.float64) * 255.0 / np.maximum(a, 1.0)
    return np.clip(rgb, 0, 255)


def opaque(frame, level=128):
    return frame[..., 3] >= level
