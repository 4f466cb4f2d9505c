"""Home folders an attacker (or bad luck) could leave a user with, one per kind of harm: special
files where the program or a library it uses reads a file, files that crash the libraries that
read them, files that unfold into far more work or memory than their size, and desktops that
once showed the wrong picture. Each case prepares the sample desktop, then plants its harm, and
returns the variables its run needs. Used by test_hostile_homes (the program survives each) and
by scripts/bench-hostile (how long to the first frame, how much memory)."""

import base64
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

import sample_desktop

CASES = {}


def case(name):
    def register(prepare):
        CASES[name] = prepare
        return prepare
    return register


def plant_fifo(home, relative):
    path = os.path.join(home, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if os.path.lexists(path):
        os.remove(path)
    os.mkfifo(path)


def plant_link(home, relative, target):
    path = os.path.join(home, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if os.path.lexists(path):
        os.remove(path)
    os.symlink(target, path)


def png(width, height, depth, colour_type, rows):
    """A PNG of the given rows (bytes, without filter bytes, all alike), streamed into zlib."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    compressor = zlib.compressobj(9)
    row = b"\0" + rows
    data = b"".join(compressor.compress(row) for _ in range(height)) + compressor.flush()
    header = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", data) + chunk(b"IEND", b"")


def write_bytes(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def wallpaper_at(home, path):
    """The XFCE backdrop shows path."""
    sample_desktop.set_xfce_backdrop(home, image=path, rgba=(0.1, 0.1, 0.2, 1.0))
    return {"XDG_CURRENT_DESKTOP": "XFCE"}


def launcher_with_icon(home, name, icon_path):
    sample_desktop.write_text(os.path.join(home, "Desktop", name + ".desktop"),
                              f"[Desktop Entry]\nType=Link\nName={name}\nIcon={icon_path}\n")


ENDLESS_SVG = ("<svg xmlns='http://www.w3.org/2000/svg' width='1920' height='1080'><filter id='f' x='0' y='0' "
               "width='1' height='1'><feTurbulence baseFrequency='0.001' numOctaves='1000000'/></filter>"
               "<rect width='1920' height='1080' filter='url(#f)'/></svg>")


# ---- Special files where a file is read ----

LIBRARY_FILES = {
    # The X client library and the GL driver, when the window opens.
    "x-authority": (".Xauthority", ""), "x-compose": (".XCompose", ""), "x-resources": (".Xdefaults", ""),
    "gl-driver-options": (".drirc", ""),
    # GLib's MIME database and settings schemas, fontconfig, dconf, while the desktop is read.
    "mime-database": (".local/share/mime/globs2", ""), "settings-schemas": (".local/share/glib-2.0/schemas/gschemas.compiled", "GNOME"),
    "font-configuration": (".config/fontconfig/fonts.conf", "LXDE"), "dconf-database": (".config/dconf/user", "GNOME"),
    # Our own reads.
    "user-dirs": (".config/user-dirs.dirs", ""), "hidden-list": ("Desktop/.hidden", ""),
    "desktop-entry": ("Desktop/Terminal.desktop", ""), "xfce-channel": (".config/xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml", "XFCE"),
    "plasma-layout": (".config/plasma-org.kde.plasma.desktop-appletsrc", "KDE"), "feh-record": (".fehbg", ""),
}


def fifo_case(relative, desktop):
    def prepare(home):
        plant_fifo(home, relative)
        # The desktop's own settings store where GNOME is named (dconf, which opens its database itself).
        return {"XDG_CURRENT_DESKTOP": desktop, **({"GSETTINGS_BACKEND": ""} if desktop == "GNOME" else {})}
    return prepare


for _name, (_relative, _desktop) in LIBRARY_FILES.items():
    case("fifo-" + _name)(fifo_case(_relative, _desktop))


@case("devices-and-proc-files")
def devices(home):
    for relative, target in ((".config/gtk-3.0/settings.ini", "/dev/zero"), (".config/kdeglobals", "/dev/urandom"),
                             (".config/xfce4/xfconf/xfce-perchannel-xml/xsettings.xml", "/proc/self/pagemap"),
                             (".config/pcmanfm/LXDE/desktop-items-0.conf", "/proc/self/status"),
                             (".local/share/mime/mime.cache", "/dev/zero"), (".Xdefaults", "/dev/urandom"),
                             (".XCompose", "/proc/self/pagemap"), ("Desktop/.hidden", "/proc/self/pagemap")):
        plant_link(home, relative, target)
    return {"XDG_CURRENT_DESKTOP": "LXDE"}


@case("wallpaper-fifo")
def wallpaper_fifo(home):
    plant_fifo(home, "Pictures/swapped.png")
    return wallpaper_at(home, os.path.join(home, "Pictures", "swapped.png"))


@case("symlink-loops")
def loops(home):
    plant_link(home, ".config/user-dirs.dirs", os.path.join(home, ".config", "user-dirs.dirs"))
    plant_link(home, "Desktop/loop a", os.path.join(home, "Desktop", "loop b"))
    plant_link(home, "Desktop/loop b", os.path.join(home, "Desktop", "loop a"))
    plant_link(home, ".local/share/icons/Looping", os.path.join(home, ".local", "share", "icons", "Looping"))
    sample_desktop.write_text(os.path.join(home, ".config", "gtk-3.0", "settings.ini"),
                              "[Settings]\ngtk-icon-theme-name=Looping\n")
    return {}


# ---- Files that crash the libraries that read them ----

@case("corrupt-icon-cache")
def corrupt_cache(home):
    sample_desktop.write_icon_theme(home, "Broken", {"utilities-terminal": sample_desktop.solid((200, 0, 0, 255))})
    cache = os.path.join(home, ".local", "share", "icons", "Broken", "icon-theme.cache")
    write_bytes(cache, b"\x00\x01\x00\x00\x7f\xff\xff\xf0\x7f\xff\xff\xf0" + b"\xff" * 64)
    later = os.stat(os.path.dirname(cache)).st_mtime + 60
    os.utime(cache, (later, later))
    return {}


@case("wallpapers-other-decoders-fault-on")
def bad_wallpapers(home):
    # A short PIC file and a JPEG cut and scrambled after its header.
    write_bytes(os.path.join(home, "Pictures", "short.pic"), b"\x53\x80\xf6\x34" + b"PICT" + b"\x00" * 8)
    jpeg = bytes.fromhex("ffd8ffe000104a46494600010100000100010000ffdb004300") + bytes(range(64)) + \
        bytes.fromhex("ffc4001f0000010501010101010100000000000000000102030405060708090a0b") + b"\xff" * 300
    write_bytes(os.path.join(home, "Pictures", "scrambled.jpg"), jpeg)
    launcher_with_icon(home, "Short picture", os.path.join(home, "Pictures", "short.pic"))
    return wallpaper_at(home, os.path.join(home, "Pictures", "scrambled.jpg"))


# ---- Work that grows faster than the input ----

@case("deep-xml")
def deep_xml(home):
    depth = 30000
    xml = '<channel name="xfce4-desktop">' + '<property name="a">' * depth + '</property>' * depth + '</channel>'
    sample_desktop.write_text(os.path.join(home, ".config", "xfce4", "xfconf", "xfce-perchannel-xml",
                                           "xfce4-desktop.xml"), xml)
    sample_desktop.write_text(os.path.join(home, ".config", "xfce4", "xfconf", "xfce-perchannel-xml",
                                           "xsettings.xml"), xml)
    return {"XDG_CURRENT_DESKTOP": "XFCE"}


@case("plasma-many-containments")
def plasma(home):
    groups = "".join(f"[Containments][{i}]\nplugin=org.kde.panel\nlastScreen=0\n" for i in range(20000))
    sample_desktop.write_text(os.path.join(home, ".config", "plasma-org.kde.plasma.desktop-appletsrc"), groups)
    return {"XDG_CURRENT_DESKTOP": "KDE"}


@case("many-links-to-one-big-icon")
def links(home):
    big = os.path.join(home, "icons", "big.png")
    write_bytes(big, png(1024, 1024, 8, 6, b"\x80\x20\x20\xff" * 1024))
    for i in range(300):
        link = os.path.join(home, "icons", f"link{i}.png")
        os.symlink(big, link)
        launcher_with_icon(home, f"Link {i}", link)
    return {}


@case("decompression-bombs")
def bombs(home):
    pictures = os.path.join(home, "Pictures")
    # 29 bytes of GIF whose one frame is 65535 x 65535.
    write_bytes(os.path.join(pictures, "bomb.gif"), b"GIF89a\xff\xff\xff\xff\x00\x00\x00\x2c\x00\x00\x00\x00"
                b"\xff\xff\xff\xff\x00\x02\x02\x2c\x00\x00\x3b")
    # An SVG icon around a 20000 x 20000 raster, and the GIF as an icon under a PNG's name.
    raster = base64.b64encode(png(20000, 20000, 1, 0, b"\0" * 2500)).decode()
    sample_desktop.write_text(os.path.join(pictures, "raster.svg"),
                              "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                              "width='48' height='48'><image width='48' height='48' "
                              f"xlink:href='data:image/png;base64,{raster}'/></svg>")
    os.link(os.path.join(pictures, "bomb.gif"), os.path.join(pictures, "bomb-icon.png"))
    launcher_with_icon(home, "Raster", os.path.join(pictures, "raster.svg"))
    launcher_with_icon(home, "Bomb", os.path.join(pictures, "bomb-icon.png"))
    return wallpaper_at(home, os.path.join(pictures, "bomb.gif"))


@case("png16-wallpaper")
def deep_png(home):
    # Under a megabyte of 16-bit PNG that decodes to 5700 x 5700 pixels.
    path = os.path.join(home, "Pictures", "deep.png")
    write_bytes(path, png(5700, 5700, 16, 6, b"\0" * (5700 * 8)))
    return wallpaper_at(home, path)


@case("endless-svg")
def endless(home):
    pictures = os.path.join(home, "Pictures")
    sample_desktop.write_text(os.path.join(pictures, "endless.svg"), ENDLESS_SVG)
    for i in range(12):
        sample_desktop.write_text(os.path.join(pictures, f"endless{i}.svg"), ENDLESS_SVG + f"<!-- {i} -->")
        launcher_with_icon(home, f"Slow {i}", os.path.join(pictures, f"endless{i}.svg"))
    return wallpaper_at(home, os.path.join(pictures, "endless.svg"))


@case("huge-folder")
def huge_folder(home):
    desktop = os.path.join(home, "Desktop")
    for i in range(30000):
        open(os.path.join(desktop, f"file {i:05}.txt"), "w").close()
    return {}


# ---- Side effects and wrong pictures ----

@case("theme-named-dot-dot")
def dot_dot(home):
    sample_desktop.write_text(os.path.join(home, ".config", "gtk-3.0", "settings.ini"), "[Settings]\ngtk-icon-theme-name=..\n")
    sample_desktop.write_text(os.path.join(home, ".local", "share", "icons", "index.theme"),
                              "[Icon Theme]\nName=Above\nDirectories=.\n[.]\nSize=48\n")
    return {}


@case("twins-and-wide-characters")
def twins(home):
    pictures = os.path.join(home, "Pictures")
    sample_desktop.write_png(os.path.join(pictures, "red.png"), 48, 48, sample_desktop.solid((255, 0, 0, 255)))
    sample_desktop.write_png(os.path.join(pictures, "green.png"), 48, 48, sample_desktop.solid((0, 255, 0, 255)))
    for stem, icon in (("twin-a", "red.png"), ("twin-b", "green.png")):
        sample_desktop.write_text(os.path.join(home, "Desktop", stem + ".desktop"),
                                  f"[Desktop Entry]\nType=Link\nName=Twin\nIcon={os.path.join(pictures, icon)}\n")
    sample_desktop.write_text(os.path.join(home, "Desktop", "smile \U0001F600 \U00010348.txt"), "x")
    return {}


def prepare(name, home):
    """Prepares case name in the folder home; returns the run's environment."""
    sample_desktop.make_sample_desktop(home)
    return {**sample_desktop.environment(home), **CASES[name](home)}


def run(name, binary, preload=None, timeout=60):
    """One start of the program over case name until its first frame (it ends itself there):
    (exit code or None when it had to be stopped, first frame in ms or None, peak resident memory of
    the program and its children in MiB, its output)."""
    home = tempfile.mkdtemp(prefix="gravefall-hostile-")
    try:
        environment = {**os.environ, **prepare(name, home), "GRAVEFALL_BENCH_STARTUP": "1"}
        if preload:
            environment["LD_PRELOAD"] = preload
        with tempfile.TemporaryFile() as output:
            process = subprocess.Popen([binary, "/s"], stdin=subprocess.DEVNULL, stdout=output,
                                       stderr=subprocess.STDOUT, env=environment, start_new_session=True)
            deadline = time.monotonic() + timeout
            code, usage = None, None
            while time.monotonic() < deadline:
                pid, status, usage = os.wait4(process.pid, os.WNOHANG)
                if pid == process.pid:
                    code = os.waitstatus_to_exitcode(status)
                    break
                time.sleep(0.05)
            if code is None:
                os.killpg(process.pid, 9)
                _, _, usage = os.wait4(process.pid, 0)
            process.returncode = code if code is not None else -9
            output.seek(0)
            text = output.read().decode("utf-8", "replace")
        frame = re.search(r"startup: first frame ([0-9.]+) ms", text)
        return code, float(frame.group(1)) if frame else None, usage.ru_maxrss / 1024, text
    finally:
        for folder, _, _ in os.walk(home):
            os.chmod(folder, 0o755)
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    # The figures of every case: python3 hostile_homes.py BINARY [CASE...]
    binary, names = sys.argv[1], sys.argv[2:] or list(CASES)
    print(f"{'case':40} {'exit':>5} {'first frame':>12} {'peak memory':>12}")
    worst_frame, worst_memory = 0.0, 0.0
    for name in names:
        code, frame, memory, _ = run(name, binary)
        worst_frame, worst_memory = max(worst_frame, frame or float("inf")), max(worst_memory, memory)
        shown = f"{frame:9.0f} ms" if frame is not None else "      none"
        print(f"{name:40} {str(code):>5} {shown:>12} {memory:8.0f} MiB", flush=True)
    print(f"worst: first frame {worst_frame:.0f} ms (goal 5000), peak memory {worst_memory:.0f} MiB (goal 1536)")
