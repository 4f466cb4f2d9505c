"""The mirror against the real desktop programs: the same prepared home is shown once by the
desktop program itself on a virtual display and once by Gravefall, and every icon (a square of
its own colour) must sit within 4 px of where the real desktop drew it; the backdrop colour must
agree away from the icons. Run by scripts/test-desktops, which installs the programs."""

import os
import shlex
import shutil
import subprocess
import tempfile
import time
import unittest

import numpy as np
from Xlib import display as xdisplay, error as xerror

import reference_home
import sample_desktop
from harness import Program, find_window

TOLERANCE = 4
NAMES = ["Item %02d" % index for index in range(len(reference_home.COLOURS))]
BACKDROP = (0x20, 0x40, 0x60)


def screenshot(keep_as=None):
    """The screen as (height, width, 3) bytes; with keep_as, also saved as out/reference/<keep_as>.png
    for a person to compare."""
    raw = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    if keep_as is not None:
        folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "out", "reference")
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["convert", "-size", "1920x1080", "-depth", "8", "rgb:-", os.path.join(folder, keep_as + ".png")],
                       input=raw, check=True)
    return np.frombuffer(raw, np.uint8).reshape(1080, 1920, 3)


def session_environment(home, desktop):
    return {"PATH": os.environ["PATH"], "DISPLAY": os.environ["DISPLAY"], "HOME": home,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"), "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CONFIG_DIRS": os.path.join(home, "etc-xdg"), "XDG_CURRENT_DESKTOP": desktop, "LANG": "C.UTF-8",
            "QT_QPA_PLATFORMTHEME": "lxqt", "XDG_RUNTIME_DIR": os.path.join(home, "runtime")}


class ReferenceDesktop:
    """The check, mixed into one test case per desktop program."""
    desktop = None     # XDG_CURRENT_DESKTOP
    command = None     # the desktop program
    settle = 5.0       # seconds it takes to draw
    shot_name = None   # the kept screenshots' name; the desktop's by default
    real_draws_backdrop = True

    def setUp(self):
        if shutil.which(self.command[0]) is None:
            self.skipTest(f"{self.command[0]} is not installed (scripts/test-desktops installs it)")
        self.home = tempfile.mkdtemp(prefix="gravefall-reference-")
        os.makedirs(os.path.join(self.home, "runtime"), mode=0o700)
        reference_home.write_theme(self.home)
        reference_home.write_launchers(self.home, NAMES)
        self.prepare()

    def tearDown(self):
        shutil.rmtree(self.home, ignore_errors=True)

    def prepare(self):
        """Writes the desktop's own settings into the home."""

    def real_desktop(self):
        """The screen as the desktop program draws it."""
        environment = session_environment(self.home, self.desktop)
        environment["GSETTINGS_BACKEND"] = self.settings_backend
        process = subprocess.Popen(["dbus-run-session", "--", *self.command], stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   env=environment, start_new_session=True)
        try:
            time.sleep(self.settle)
            return screenshot(keep_as=(self.shot_name or self.desktop) + "-real")
        finally:
            os.killpg(process.pid, 15)
            process.wait()
            time.sleep(0.5)

    settings_backend = "memory"

    def mirror(self):
        """The squares Gravefall draws, gathered over a few screenshots (creatures may cover some)."""
        environment = session_environment(self.home, self.desktop)
        environment["GSETTINGS_BACKEND"] = self.settings_backend
        program = Program("/s", env=environment, home=self.home)
        try:
            self.assertIsNotNone(find_window("Gravefall"), program.output())
            time.sleep(1.5)
            squares, shots = {}, []
            for attempt in range(4):
                shot = screenshot(keep_as=(self.shot_name or self.desktop) + "-mirror" if attempt == 0 else None)
                shots.append(shot)
                for index, (left, top, right, bottom) in reference_home.find_squares(shot).items():
                    known = squares.get(index, (left, top, right, bottom))
                    squares[index] = (min(known[0], left), min(known[1], top), max(known[2], right), max(known[3], bottom))
                time.sleep(0.3)
            return squares, shots
        finally:
            subprocess.run(["xdotool", "key", "space"], check=False)
            try:
                program.wait(timeout=20)
            finally:
                program.stop()

    def test_icons_and_backdrop_match_the_real_desktop(self):
        real_shot = self.real_desktop()
        real = reference_home.find_squares(real_shot)
        self.assertEqual(len(real), len(NAMES), f"the real desktop drew {len(real)} of the icons")
        mirrored, shots = self.mirror()
        for index, (left, top, right, bottom) in real.items():
            self.assertIn(index, mirrored, f"{NAMES[index]} is not mirrored")
            found = mirrored[index]
            self.assertLessEqual(abs(found[0] - left), TOLERANCE, (NAMES[index], real[index], found))
            self.assertLessEqual(abs(found[1] - top), TOLERANCE, (NAMES[index], real[index], found))
            self.assertLessEqual(abs((found[2] - found[0]) - (right - left)), TOLERANCE, "icon size")
        # The backdrop, away from the icons: the real colour, and the mirror's on most shots.
        for x, y in ((1000, 150), (1500, 600), (1800, 1000), (700, 900)):
            if self.real_draws_backdrop:
                self.assertTrue(np.all(np.abs(real_shot[y, x].astype(int) - BACKDROP) <= 2), (x, y, real_shot[y, x]))
            agreeing = sum(np.all(np.abs(shot[y, x].astype(int) - BACKDROP) <= 12) for shot in shots)
            self.assertGreaterEqual(agreeing, len(shots) - 1, (x, y))


class Lxde(ReferenceDesktop, unittest.TestCase):
    """pcmanfm 1.3, LXDE's desktop, with one icon moved by the user."""
    desktop = "LXDE"
    command = ["pcmanfm", "--desktop", "--profile", "LXDE"]

    def prepare(self):
        sample_desktop.write_text(os.path.join(self.home, ".gtkrc-2.0"),
                                  f'gtk-icon-theme-name="{reference_home.THEME}"\n')
        sample_desktop.write_text(os.path.join(self.home, ".config", "pcmanfm", "LXDE", "desktop-items-0.conf"),
                                  "[*]\nwallpaper_mode=color\ndesktop_bg=#204060\ndesktop_fg=#ffffff\nshow_trash=0\n\n"
                                  "[item3.desktop]\nx=500\ny=300\n")


class Lxqt(ReferenceDesktop, unittest.TestCase):
    """pcmanfm-qt 1.2, LXQt's desktop, with one icon moved by the user."""
    desktop = "LXQt"
    command = ["pcmanfm-qt", "--desktop", "--profile=lxqt"]

    def prepare(self):
        sample_desktop.write_text(os.path.join(self.home, ".config", "pcmanfm-qt", "lxqt", "settings.conf"),
                                  "[Desktop]\nBgColor=#204060\nWallpaperMode=none\nDesktopShortcuts=@Invalid()\n")
        sample_desktop.write_text(os.path.join(self.home, ".config", "pcmanfm-qt", "lxqt", "desktop-items-0.conf"),
                                  "[item5.desktop]\npos=@Point(800 500)\n")


class Mate(ReferenceDesktop, unittest.TestCase):
    """caja 1.26, MATE's desktop, fresh: its own icons off, the files in its columns."""
    desktop = "MATE"
    command = ["caja", "--force-desktop", "-n"]
    settle = 8.0
    settings_backend = "keyfile"

    def prepare(self):
        for schema, key, value in (("org.mate.caja.desktop", "computer-icon-visible", "false"),
                                   ("org.mate.caja.desktop", "home-icon-visible", "false"),
                                   ("org.mate.caja.desktop", "trash-icon-visible", "false"),
                                   ("org.mate.caja.desktop", "volumes-visible", "false"),
                                   ("org.mate.background", "picture-filename", ""),
                                   ("org.mate.background", "primary-color", "#204060"),
                                   ("org.mate.background", "color-shading-type", "solid")):
            subprocess.run(["gsettings", "set", schema, key, value], check=True,
                           env={**session_environment(self.home, self.desktop), "GSETTINGS_BACKEND": "keyfile"})


class Xfce(ReferenceDesktop, unittest.TestCase):
    """xfdesktop 4.18 under xfwm4, its window manager: its own Trash, File System and Home first,
    then the files as they arrive, one of them moved by the user."""
    desktop = "XFCE"
    command = ["xfdesktop"]
    settle = 8.0
    # The name xfdesktop gives the positions of a 1920 x 1080 screen whose work area is all of it.
    positions_name = "icons.screen0-1904x1064.rc"
    extra_settings = ()  # more xfce4-desktop properties: (path, [(type, value)])

    def setUp(self):
        # xfdesktop keeps a backdrop per workspace and learns the workspaces from the window
        # manager (libwnck reads _NET_NUMBER_OF_DESKTOPS): without one it never maps its window.
        if shutil.which("xfwm4") is None:
            self.skipTest("xfwm4 is not installed (scripts/test-desktops installs it)")
        self.x = xdisplay.Display()
        self.addCleanup(self.x.close)
        self.root = self.x.screen().root
        self.root_properties = set(self.root.list_properties())
        self.window_manager = None
        super().setUp()

    def tearDown(self):
        self.stop_window_manager()
        super().tearDown()

    def stop_window_manager(self):
        if self.window_manager is None:
            return
        os.killpg(self.window_manager.pid, 15)
        self.window_manager.wait()
        self.window_manager = None
        # It leaves its _NET_ properties behind: the next desktop is to find the root window as it was.
        for atom in set(self.root.list_properties()) - self.root_properties:
            self.root.delete_property(atom)
        self.x.sync()

    def prepare(self):
        base = "/backdrop/screen0/monitorscreen/workspace0/"  # Xvfb's one RandR output is "screen"
        settings = [(base + "rgba1", [("double", repr(c / 255)) for c in BACKDROP] + [("double", "1")]),
                    (base + "color-style", [("int", "0")]), (base + "image-style", [("int", "0")]),
                    ("/desktop-icons/file-icons/show-removable", [("bool", "false")]), *self.extra_settings]
        commands = []
        for path, values in settings:
            command = ["xfconf-query", "-c", "xfce4-desktop", "-p", path, "-n"]
            for kind, value in values:
                command += ["-t", kind, "-s", value]
            commands.append(shlex.join(command))
        # The channel as xfconfd writes it: set on a bus of its own, saved as that bus goes away.
        subprocess.run(["dbus-run-session", "--", "sh", "-ec", "\n".join(commands)], check=True,
                       env=session_environment(self.home, self.desktop), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        self.positions = os.path.join(self.home, ".config", "xfce4", "desktop")
        self.moved = os.path.join(self.home, "Desktop", "item5.desktop")
        self.write_positions()
        self.window_manager = subprocess.Popen(
            ["dbus-run-session", "--", "xfwm4", "--compositor=off"], stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=session_environment(self.home, self.desktop),
            start_new_session=True)
        self.addCleanup(self.stop_window_manager)  # also when setting up fails from here on
        self.wait_for_window_manager("Xfwm4")

    def write_positions(self):
        sample_desktop.write_text(os.path.join(self.positions, self.positions_name),
                                  "[xfdesktop-version-4.10.3+-rcfile_format]\n4.10.3+=true\n\n"
                                  f"[{self.moved}]\nrow=3\ncol=8\n")

    def wait_for_window_manager(self, name, timeout=15.0):
        check, wm_name = self.x.intern_atom("_NET_SUPPORTING_WM_CHECK"), self.x.intern_atom("_NET_WM_NAME")
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            window = self.root.get_full_property(check, 0)
            try:
                title = window and self.x.create_resource_object("window", window.value[0]).get_full_property(wm_name, 0)
                if title and title.value == name.encode():
                    return
            except xerror.BadWindow:
                pass  # an earlier manager's
            time.sleep(0.1)
        self.fail(f"{name} did not start")

    def real_desktop(self):
        shot = super().real_desktop()
        # xfdesktop saves every icon's slot as it places it, under the name it looks up first.
        self.assertEqual(os.path.basename(os.readlink(os.path.join(self.positions, "icons.screen.latest.rc"))),
                         self.positions_name)
        # The mirror is to see the home as the user left it, not xfdesktop's record of its run.
        shutil.rmtree(self.positions)
        self.write_positions()
        return shot



class XfceGravity(Xfce):
    """xfdesktop 4.18 filling rows first from the top-right corner (its gravity 3), the moved
    icon kept in its slot."""
    shot_name = "XFCE-gravity"
    extra_settings = (("/desktop-icons/gravity", [("int", "3")]),)


def set_work_area(area):
    """Publishes a work area on the root window as a window manager does for its panels, with
    its one workspace (caja reads the area only with a workspace count); None removes them."""
    properties = {"_NET_WORKAREA": area, "_NET_NUMBER_OF_DESKTOPS": (1,), "_NET_CURRENT_DESKTOP": (0,)}
    for name, value in properties.items():
        if area is None:
            subprocess.run(["xprop", "-root", "-remove", name], check=True)
        else:
            subprocess.run(["xprop", "-root", "-f", name, "32c", "-set", name, ",".join(map(str, value))], check=True)


def wait_for_programs_of(home, timeout=10.0):
    """Waits until no process runs with this home: services a session bus started (the metadata
    store's daemon writing its journal out, the desktop program closing) outlive it a moment."""
    marker = f"HOME={home}".encode() + b"\0"
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if not any(marker in environ_of(entry) for entry in os.listdir("/proc") if entry.isdigit()):
            return
        time.sleep(0.1)


def environ_of(pid):
    try:
        with open(f"/proc/{pid}/environ", "rb") as environ:
            return environ.read()
    except OSError:  # ended, or not ours
        return b""


def copy_path(source, target):
    """Makes target a copy of source (a file or a folder), or removes it when source is missing."""
    if os.path.isdir(target):
        shutil.rmtree(target)
    elif os.path.exists(target):
        os.remove(target)
    if os.path.isdir(source):
        shutil.copytree(source, target)
    elif os.path.exists(source):
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy2(source, target)


class MovedByTheUser:
    """Icons the user moved, recorded with `gio set` in GIO's metadata store of the home (behind
    a session bus, as in a session). The desktop program records where it put every icon when it
    runs, so the store is put back as the user left it before the mirror reads it."""
    moved = {}        # launcher file name: {metadata key: value}
    kept_files = ()   # the desktop program's own records, under the home

    def record_moves(self):
        commands = [f"gio set {os.path.join(self.home, 'Desktop', name)} {key} {value}"
                    for name, keys in self.moved.items() for key, value in keys.items()]
        subprocess.run(["dbus-run-session", "--", "sh", "-c", " && ".join(commands)], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       env=session_environment(self.home, self.desktop))
        wait_for_programs_of(self.home)

    def real_desktop(self):
        kept = tempfile.mkdtemp(prefix="gravefall-kept-")
        paths = [os.path.join(".local", "share", "gvfs-metadata"), *self.kept_files]
        for path in paths:
            copy_path(os.path.join(self.home, path), os.path.join(kept, path))
        try:
            return super().real_desktop()
        finally:
            wait_for_programs_of(self.home)
            for path in paths:
                copy_path(os.path.join(kept, path), os.path.join(self.home, path))
            shutil.rmtree(kept, ignore_errors=True)

    def mirror(self):
        """The mirror reads the store through a session bus of its own."""
        started = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"],
                                 check=True, capture_output=True, text=True,
                                 env=session_environment(self.home, self.desktop)).stdout.split()
        before = os.environ.get("DBUS_SESSION_BUS_ADDRESS")
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = started[0]
        try:
            return super().mirror()
        finally:
            if before is None:
                os.environ.pop("DBUS_SESSION_BUS_ADDRESS", None)
            else:
                os.environ["DBUS_SESSION_BUS_ADDRESS"] = before
            os.kill(int(started[1]), 15)


class MateMoved(MovedByTheUser, Mate):
    """caja 1.26 under panels (a work area from (30, 40)) with four icons the user moved: kept
    where they were in the work area's coordinates, two of them pushed back inside it; the others
    go down its 78 x 20 px cells wherever the moved ones leave room."""
    shot_name = "MATE-moved"
    kept_files = (os.path.join(".config", "caja", "desktop-metadata"),)
    moved = {"item5.desktop": {"metadata::caja-icon-position": "500,300"},
             "item10.desktop": {"metadata::caja-icon-position": "64,342"},
             "item7.desktop": {"metadata::caja-icon-position": "800,-50"},
             "item6.desktop": {"metadata::caja-icon-position": "2500,1070"}}

    def prepare(self):
        super().prepare()
        self.record_moves()
        set_work_area((30, 40, 1890, 1040))
        self.addCleanup(set_work_area, None)


class Cinnamon(MovedByTheUser, ReferenceDesktop, unittest.TestCase):
    """nemo 5.6's desktop (nemo-desktop) with its automatic layout off and two icons the user
    moved, each holding a cell of its grid. It paints no backdrop of its own outside Cinnamon."""
    desktop = "X-Cinnamon"
    command = ["nemo-desktop"]
    settle = 10.0
    settings_backend = "keyfile"
    real_draws_backdrop = False
    kept_files = (os.path.join(".config", "nemo"),)
    moved = {"item5.desktop": {"metadata::nemo-icon-position": "500,300", "metadata::monitor": "0"},
             "item10.desktop": {"metadata::nemo-icon-position": "91,347", "metadata::monitor": "0"}}

    def prepare(self):
        # nemo-desktop refuses to run as root without the first key.
        for schema, key, value in (("org.nemo.preferences", "treat-root-as-normal", "true"),
                                   ("org.cinnamon.desktop.background", "picture-uri", ""),
                                   ("org.cinnamon.desktop.background", "primary-color", "#204060"),
                                   ("org.cinnamon.desktop.background", "color-shading-type", "solid")):
            subprocess.run(["gsettings", "set", schema, key, value], check=True,
                           env={**session_environment(self.home, self.desktop), "GSETTINGS_BACKEND": "keyfile"})
        sample_desktop.write_text(os.path.join(self.home, ".config", "nemo", "desktop-metadata"),
                                  "[desktop-monitor-0]\nnemo-icon-view-keep-aligned=true\n"
                                  "nemo-icon-view-auto-layout=false\n")
        self.record_moves()


class LxqtPanel(Lxqt):
    """pcmanfm-qt 1.2 above an 80 px panel: the 976 px left for its rows share their bottom gap
    out differently (4 px more margin above and below each icon instead of 1)."""
    shot_name = "LXQt-panel"

    def prepare(self):
        super().prepare()
        set_work_area((0, 0, 1920, 1000))
        self.addCleanup(set_work_area, None)


if __name__ == "__main__":
    unittest.main()
