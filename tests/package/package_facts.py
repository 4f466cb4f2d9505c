"""What the package tests check against: the version of the project() line, the trees and the
packages scripts/package made. Paths come from the environment scripts/test-package sets."""

import os
import re
import subprocess
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
PACKAGE_BUILD = Path(os.environ.get("GRAVEFALL_PACKAGE_BUILD", ROOT / "build-package"))
DIST = Path(os.environ.get("GRAVEFALL_DIST", ROOT / "dist"))
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256, 512)


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text()
    return re.search(r"project\(Gravefall VERSION ([0-9.]+)", text).group(1)


VERSION = project_version()


def license_lines():
    """The non-empty lines of LICENSE: the copyright line and the licence text."""
    return [line.strip() for line in (ROOT / "LICENSE").read_text().splitlines() if line.strip()]


def run(*command, text=True, **options):
    return subprocess.run([str(part) for part in command], capture_output=True, text=text, **options)


def png_size(path):
    """(width, height) from the IHDR chunk of a PNG file."""
    with open(path, "rb") as image:
        header = image.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n" or header[12:16] != b"IHDR":
        raise ValueError(f"{path} is not a PNG")
    return int.from_bytes(header[16:20], "big"), int.from_bytes(header[20:24], "big")


def files_under(root):
    """Every file and symbolic link below root, as paths relative to it."""
    return {str(path.relative_to(root)) for path in Path(root).rglob("*") if not path.is_dir()}
