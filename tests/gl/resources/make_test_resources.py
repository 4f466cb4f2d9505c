#!/usr/bin/env python3
"""Writes the small test-only resources (tiny PNGs, odd text, an empty file) into a directory.

Generated at build time so that no binary file is committed. Standard library only.
"""
import struct
import sys
import zlib
from pathlib import Path


def png(width, height, rows, channels=4):
    """PNG bytes for 8-bit RGBA (channels 4) or RGB (channels 3) rows of pixel tuples."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    color_type = 6 if channels == 4 else 2
    raw = b"".join(b"\x00" + bytes(value for pixel in row for value in pixel[:channels]) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, color_type, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


RED, GREEN, BLUE, WHITE = (255, 0, 0, 255), (0, 255, 0, 255), (0, 0, 255, 255), (255, 255, 255, 255)


def main(out):
    out.mkdir(parents=True, exist_ok=True)
    # One pixel with distinct channel values, so a swapped or dropped channel shows.
    (out / "one_pixel.png").write_bytes(png(1, 1, [[(10, 20, 30, 40)]]))
    # An RGB image: decoded to four channels, every alpha must come out 255.
    (out / "rgb_pair.png").write_bytes(png(2, 1, [[(200, 100, 50), (1, 2, 3)]], channels=3))
    # 8 x 8: first row red, last row blue, green between.
    (out / "red_blue_sheet.png").write_bytes(png(8, 8, [[RED] * 8] + [[GREEN] * 8] * 6 + [[BLUE] * 8]))
    # A strip of four 4 x 4 frames: red, green, blue, white.
    strip_row = [RED] * 4 + [GREEN] * 4 + [BLUE] * 4 + [WHITE] * 4
    (out / "strip4.png").write_bytes(png(16, 4, [strip_row] * 4))
    (out / "not_an_image.txt").write_bytes(b"This is plain text, not a PNG.\n")
    (out / "empty.bin").write_bytes(b"")
    # Quotes, tabs, carriage returns and a non-ASCII byte must come back unchanged.
    (out / "quoted_text.txt").write_bytes(
        b'#version 330 core\r\n// a "quoted" comment\twith a tab\r\n/* \'single\' */\n\xc3\xa9\n')
    # Enough undeclared names for an info log far longer than 1024 characters.
    body = "".join(f"    color += undeclared_value_number_{i};\n" for i in range(200))
    (out / "many_errors.frag").write_text(
        "#version 330 core\nout vec4 color;\nvoid main()\n{\n    color = vec4(0.0);\n" + body + "}\n")


if __name__ == "__main__":
    main(Path(sys.argv[1]))
