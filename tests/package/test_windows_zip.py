"""The Windows zip: exactly the screen saver and its README.txt, and the .scr's version resource
read back (as Explorer's Details tab shows it) with the project's version."""

import struct
import tempfile
import unittest
import zipfile
from pathlib import Path

from package_facts import DIST, VERSION, license_lines, run

ZIP = DIST / f"gravefall-{VERSION}-windows-x64.zip"


def _align(offset):
    return (offset + 3) & ~3


def read_version_node(data, offset=0):
    """One node of a VS_VERSIONINFO tree: (key, value bytes, is_text, children), from its header
    (wLength, wValueLength, wType), its NUL-ended UTF-16 key and its 32-bit aligned value."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    key_end = offset + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[offset + 6:key_end].decode("utf-16-le")
    position = _align(key_end + 2)
    value_size = value_length * 2 if value_type == 1 else value_length
    value = data[position:position + value_size]
    position = _align(position + value_size)
    children = []
    while position < end:
        child = read_version_node(data, position)
        children.append(child[:4])
        position = _align(child[4])
    return key, value, value_type == 1, children, end


def read_version_info(data):
    """The fixed file and product versions as tuples, and the strings of every string table."""
    key, fixed, _, children, _ = read_version_node(data)
    if key != "VS_VERSION_INFO":
        raise ValueError(f"not a version resource: {key!r}")
    signature, _struct_version, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    if signature != 0xFEEF04BD:
        raise ValueError("no VS_FIXEDFILEINFO")
    split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    strings = {}
    for name, _, _, tables in children:
        if name == "StringFileInfo":
            for _language, _, _, entries in tables:
                for entry_key, entry_value, _, _ in entries:
                    strings[entry_key] = entry_value.decode("utf-16-le").split("\0")[0]
    return split(file_ms, file_ls), split(product_ms, product_ls), strings


class WindowsZip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not ZIP.is_file():
            raise RuntimeError(f"{ZIP} is missing: run scripts/package")
        with zipfile.ZipFile(ZIP) as archive:
            cls.names = archive.namelist()
            cls.contents = {name: archive.read(name) for name in cls.names}

    def test_holds_exactly_the_screen_saver_and_its_readme(self):
        self.assertEqual(sorted(self.names), ["README.txt", "gravefall.scr"])
        self.assertEqual(self.contents["gravefall.scr"][:2], b"MZ")
        readme = self.contents["README.txt"].decode("ascii")
        self.assertIn(f"Gravefall {VERSION}", readme)
        self.assertIn("Install", readme)
        self.assertNotRegex(readme, r"[^\r]\n")  # Notepad's line ends
        for line in license_lines():  # the licence asks for its notice in every copy
            self.assertIn(line, readme)

    def test_version_resource_carries_the_project_version(self):
        with tempfile.TemporaryDirectory() as scratch:
            scr = Path(scratch) / "gravefall.scr"
            scr.write_bytes(self.contents["gravefall.scr"])
            extracted = run("wrestool", "--extract", "--raw", "--type=16", scr, text=False)
        self.assertEqual(extracted.returncode, 0, extracted.stderr.decode(errors="replace"))
        file_version, product_version, strings = read_version_info(extracted.stdout)
        numbers = tuple(int(part) for part in (VERSION.split(".") + ["0"] * 4)[:4])
        self.assertEqual((file_version, product_version), (numbers, numbers))
        self.assertEqual({key: strings.get(key) for key in ("FileVersion", "ProductVersion", "ProductName",
                                                             "OriginalFilename", "LegalCopyright")},
                         {"FileVersion": VERSION, "ProductVersion": VERSION, "ProductName": "Gravefall",
                          "OriginalFilename": "gravefall.scr", "LegalCopyright": license_lines()[1]})
        self.assertTrue(strings.get("FileDescription"))


if __name__ == "__main__":
    unittest.main()
