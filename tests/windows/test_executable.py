"""The shape of gravefall.scr itself: a 64-bit GUI executable that needs no MinGW DLLs and carries
the resources the program reads (RT_RCDATA 101-110 and 201-250), its icon group 1001 and a
manifest asking for asInvoker without UI access, per-monitor DPI awareness, the UTF-8 code page
and the version 6 common controls."""

import os
import re
import struct
import subprocess
import tempfile
import unittest
from xml.etree import ElementTree

SCR = os.environ.get("GRAVEFALL_SCR", "gravefall.scr")

# Libraries every 64-bit Windows has; anything else would have to be shipped beside the .scr.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll",
               "shlwapi.dll", "comctl32.dll", "advapi32.dll", "msvcrt.dll", "comdlg32.dll",
               "winspool.drv", "opengl32.dll", "winmm.dll", "imm32.dll", "dwmapi.dll", "version.dll"}


NAMESPACES = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3",
              "dpi2016": "http://schemas.microsoft.com/SMI/2016/WindowsSettings",
              "cp2019": "http://schemas.microsoft.com/SMI/2019/WindowsSettings"}


def wrestool(*arguments):
    return subprocess.run(["wrestool", *arguments, SCR], check=True, capture_output=True).stdout


class Executable(unittest.TestCase):
    def test_is_a_64_bit_gui_program(self):
        with open(SCR, "rb") as image:
            data = image.read(4096)
        self.assertEqual(data[:2], b"MZ")
        header = struct.unpack_from("<I", data, 0x3C)[0]
        self.assertEqual(data[header:header + 4], b"PE\0\0")
        machine = struct.unpack_from("<H", data, header + 4)[0]
        optional = header + 24
        magic, = struct.unpack_from("<H", data, optional)
        subsystem, = struct.unpack_from("<H", data, optional + 68)
        self.assertEqual(machine, 0x8664, "not x86-64")
        self.assertEqual(magic, 0x20B, "not PE32+")
        self.assertEqual(subsystem, 2, "not a GUI program (it would open a console)")

    def test_imports_only_system_libraries(self):
        dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", SCR], check=True, capture_output=True,
                              text=True).stdout
        imported = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
        self.assertIn("kernel32.dll", imported)
        self.assertEqual(imported - SYSTEM_DLLS, set())

    def test_carries_every_raw_data_resource(self):
        listing = wrestool("-l", "--type=10").decode()
        ids = {int(found) for found in re.findall(r"--name=(\d+)", listing)}
        expected = set(range(101, 111)) | set(range(201, 251))
        self.assertEqual(expected - ids, set(), "missing resources")
        sizes = {int(name): int(size) for name, size in re.findall(r"--name=(\d+) .*size=(\d+)", listing)}
        self.assertTrue(all(sizes[i] > 0 for i in expected))

    def test_icon_group_holds_sixteen_to_512_pixels_at_32_bits(self):
        with tempfile.TemporaryDirectory() as folder:
            icon = os.path.join(folder, "group.ico")
            with open(icon, "wb") as out:
                out.write(wrestool("-x", "--type=14", "--name=1001"))
            listing = subprocess.run(["icotool", "-l", icon], check=True, capture_output=True, text=True).stdout
        images = re.findall(r"--width=(\d+) --height=(\d+) --bit-depth=(\d+)", listing)
        self.assertEqual(sorted({int(w) for w, h, depth in images}), [16, 24, 32, 48, 64, 128, 256, 512])
        self.assertTrue(all(w == h and depth == "32" for w, h, depth in images), images)

    def test_manifest_declares_rights_dpi_code_page_and_common_controls(self):
        manifest = ElementTree.fromstring(wrestool("-x", "--raw", "--type=24", "--name=1"))

        def one(path):
            found = manifest.findall(path, NAMESPACES)
            self.assertEqual(len(found), 1, path)
            return found[0]

        level = one(".//v3:requestedPrivileges/v3:requestedExecutionLevel")
        self.assertEqual((level.get("level"), level.get("uiAccess")), ("asInvoker", "false"))
        # Per-monitor v2 first: the versions of Windows that know it take it, older ones the next.
        awareness = one(".//v3:windowsSettings/dpi2016:dpiAwareness").text
        self.assertEqual([mode.strip() for mode in awareness.split(",")][0], "PerMonitorV2")
        self.assertEqual(one(".//v3:windowsSettings/cp2019:activeCodePage").text, "UTF-8")
        controls = one(".//v1:dependency/v1:dependentAssembly/v1:assemblyIdentity")
        self.assertEqual({key: controls.get(key) for key in ("type", "name", "version", "publicKeyToken")},
                         {"type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
                          "publicKeyToken": "6595b64144ccf1df"})
        self.assertIn(controls.get("processorArchitecture"), ("*", "amd64"))

    def test_describes_itself_for_the_screen_saver_list(self):
        # String 1 is the name the screen-saver settings show for a .scr.
        self.assertIn("Gravefall".encode("utf-16-le"), wrestool("-x", "--raw", "--type=6", "--name=1"))


if __name__ == "__main__":
    unittest.main()
