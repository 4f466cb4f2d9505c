"""The Debian package: lintian's verdict (which also covers stripping and gzip headers), its
control fields, owners and modes of what it unpacks, and the unpacked program running the show
on the X server in $DISPLAY until a key."""

import re
import stat
import tempfile
import time
import unittest
from pathlib import Path

from harness import Program, Screen, find_window, xdotool
from package_facts import DIST, ICON_SIZES, VERSION, license_lines, run
from sample_desktop import environment, make_sample_desktop

DEB = DIST / f"gravefall_{VERSION}_amd64.deb"
PROGRAM = "usr/games/gravefall"


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not DEB.is_file():
            raise RuntimeError(f"{DEB} is missing: run scripts/package")
        cls.scratch = tempfile.TemporaryDirectory()
        cls.root = Path(cls.scratch.name) / "root"
        unpacked = run("dpkg-deb", "-x", DEB, cls.root)
        if unpacked.returncode != 0:
            raise RuntimeError(unpacked.stderr)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def test_lintian_finds_no_error_or_warning(self):
        checked = run("lintian", "--fail-on", "error,warning", DEB)
        findings = [line for line in checked.stdout.splitlines() if re.match(r"[EW]: ", line)]
        self.assertEqual((checked.returncode, findings), (0, []))

    def test_control_fields(self):
        names = ["Package", "Version", "Architecture", "Section", "Maintainer", "Depends"]
        values = run("dpkg-deb", "-f", DEB, *names).stdout
        fields = dict(re.findall(r"^(\w+): (.*)$", values, re.MULTILINE))
        self.assertEqual([fields[name] for name in names[:4]], ["gravefall", VERSION, "amd64", "games"])
        self.assertRegex(fields["Maintainer"], r"^Gravefall developers <[^@\s<>]+@[^@\s<>]+>$")
        # dpkg-shlibdeps' share: the libraries the program links, with their minimum versions.
        depends = {re.match(r"[^\s(|]+", item.strip()).group(0) for item in fields["Depends"].split(",")}
        self.assertLessEqual({"libc6", "libstdc++6", "libglfw3", "libgtk-3-0", "libfreetype6", "libgl1"}, depends)

    def test_files_with_root_owner_and_modes(self):
        listing = run("dpkg-deb", "--contents", DEB).stdout.splitlines()
        entries = {}
        for line in listing:
            mode, owner, _size, _date, _time, path = line.split(None, 5)
            entries[path.removeprefix("./").rstrip("/")] = (mode, owner)
        files = {path for path, (mode, _) in entries.items() if not mode.startswith("d")}
        expected = {PROGRAM, "usr/share/applications/gravefall.desktop", "usr/share/man/man6/gravefall.6.gz",
                    "usr/share/doc/gravefall/README.md", "usr/share/doc/gravefall/copyright",
                    "usr/share/doc/gravefall/changelog.gz", "usr/share/applications/screensavers/gravefall.desktop",
                    "usr/share/xscreensaver/config/gravefall.xml"}
        expected |= {f"usr/share/icons/hicolor/{n}x{n}/apps/gravefall.png" for n in ICON_SIZES}
        self.assertEqual(files, expected)
        for path, (mode, owner) in entries.items():
            wanted = "drwxr-xr-x" if mode.startswith("d") else "-rwxr-xr-x" if path == PROGRAM else "-rw-r--r--"
            self.assertEqual((mode, owner), (wanted, "root/root"), path)

    def test_copyright_is_machine_readable_and_carries_the_licence(self):
        copyright_text = (self.root / "usr/share/doc/gravefall/copyright").read_text()
        self.assertTrue(copyright_text.startswith("Format: https://www.debian.org/doc/packaging-manuals/"))
        holders = re.sub(r"^Copyright (\(c\) )?", "", license_lines()[1])
        self.assertIn(f"Files: *\nCopyright: {holders}\nLicense: Expat\n", copyright_text)
        folded = " ".join(copyright_text.split())
        for line in license_lines()[2:]:  # after the title and the copyright line
            self.assertIn(line, folded)

    def test_unpacked_program_shows_the_desktop_until_a_key_is_pressed(self):
        program_path = self.root / PROGRAM
        self.assertTrue(program_path.stat().st_mode & stat.S_IXUSR)
        screen = Screen()
        with tempfile.TemporaryDirectory() as home:
            make_sample_desktop(home)
            xdotool("mousemove", 960, 540)
            program = Program("/s", command=[str(program_path)], home=home, env=environment(home))
            try:
                self.assertIsNotNone(find_window("Gravefall"), program.output())
                # The window opens black; the first presented frame shows the sample wallpaper.
                deadline = time.monotonic() + 60
                while screen.pixel(1, 1) == (0, 0, 0) and time.monotonic() < deadline:
                    time.sleep(0.1)
                self.assertNotEqual(screen.pixel(1, 1), (0, 0, 0), program.output())
                self.assertTrue(program.running())
                xdotool("key", "space")
                self.assertEqual(program.wait(timeout=15), 0, program.output())
            finally:
                program.stop()
                screen.close()


if __name__ == "__main__":
    unittest.main()
