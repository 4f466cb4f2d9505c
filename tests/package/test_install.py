"""`cmake --install` of the package tree into a throw-away prefix: every file in place, and each
one usable by what reads it (desktop-file-validate, the icon theme's sizes, man)."""

import configparser
import os
import re
import tempfile
import unittest
from xml.etree import ElementTree
from pathlib import Path

from package_facts import ICON_SIZES, PACKAGE_BUILD, VERSION, files_under, png_size, run


def cache_value(name):
    text = (PACKAGE_BUILD / "CMakeCache.txt").read_text()
    return re.search(rf"^{name}:[A-Z]+=(.*)$", text, re.MULTILINE).group(1)


class InstalledTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        cls.prefix = Path(cls.scratch.name)
        installed = run("cmake", "--install", PACKAGE_BUILD, "--prefix", cls.prefix)
        if installed.returncode != 0:
            raise RuntimeError(installed.stdout + installed.stderr)
        cls.program = f"{cache_value('CMAKE_INSTALL_BINDIR')}/gravefall"

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def test_every_file_in_place_and_nothing_else(self):
        expected = {self.program, "share/applications/gravefall.desktop", "share/man/man6/gravefall.6.gz",
                    "share/doc/gravefall/README.md", "share/doc/gravefall/LICENSE",
                    "share/applications/screensavers/gravefall.desktop", "share/xscreensaver/config/gravefall.xml"}
        expected |= {f"share/icons/hicolor/{n}x{n}/apps/gravefall.png" for n in ICON_SIZES}
        self.assertEqual(files_under(self.prefix), expected)
        self.assertTrue(os.access(self.prefix / self.program, os.X_OK))

    def test_desktop_entry_is_valid_and_starts_the_show(self):
        entry_path = self.prefix / "share/applications/gravefall.desktop"
        validated = run("desktop-file-validate", entry_path)
        self.assertEqual((validated.returncode, validated.stdout + validated.stderr), (0, ""))
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(entry_path)
        fields = entry["Desktop Entry"]
        self.assertEqual(fields["Exec"], "gravefall /s")
        self.assertEqual(fields["Type"], "Application")
        # The icon name must be the installed icons' file name, or menus show a blank.
        self.assertTrue((self.prefix / f"share/icons/hicolor/48x48/apps/{fields['Icon']}.png").is_file())

    def test_screen_saver_hosts_start_the_hosted_show(self):
        # xfce4-screensaver and mate-screensaver: a Screensaver entry (a reserved category, valid
        # only with OnlyShowIn) whose command draws into the window the host hands over.
        entry_path = self.prefix / "share/applications/screensavers/gravefall.desktop"
        validated = run("desktop-file-validate", entry_path)
        self.assertEqual(validated.returncode, 0, validated.stdout)
        self.assertNotRegex(validated.stdout + validated.stderr, "error|warning")
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(entry_path)
        fields = entry["Desktop Entry"]
        self.assertEqual((fields["Exec"], fields["TryExec"], fields["Categories"]),
                         ("gravefall -root", "gravefall", "Screensaver;"))
        # xscreensaver: its description of a display mode, under the name the program runs by.
        config = ElementTree.parse(self.prefix / "share/xscreensaver/config/gravefall.xml").getroot()
        self.assertEqual((config.tag, config.get("name"), config.get("_label")), ("screensaver", "gravefall", "Gravefall"))
        self.assertEqual([command.get("arg") for command in config.iter("command")], ["-root"])
        self.assertTrue(config.findtext("_description").strip())

    def test_icons_have_their_folders_pixel_sizes(self):
        for size in ICON_SIZES:
            with self.subTest(size=size):
                self.assertEqual(png_size(self.prefix / f"share/icons/hicolor/{size}x{size}/apps/gravefall.png"),
                                 (size, size))

    def test_manual_page_renders_without_warnings_and_names_this_version(self):
        page = self.prefix / "share/man/man6/gravefall.6.gz"
        environment = dict(os.environ, MANWIDTH="80", LANG="C.UTF-8")
        warnings = run("man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", page, env=environment)
        self.assertEqual((warnings.returncode, warnings.stderr), (0, ""))
        self.assertIn(f"Gravefall {VERSION}", run("man", "-l", page, env=environment).stdout)


if __name__ == "__main__":
    unittest.main()
