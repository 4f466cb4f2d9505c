"""Prepared throw-away home directories for runs of the program: a desktop folder with folders,
files and desktop entries, an icon theme, and a wallpaper setting. Used by the end-to-end tests
and by the demo of scripts/run (`python3 sample_desktop.py DIR` prepares one in DIR)."""

import os
import subprocess
import struct
import sys
import zlib


PNG_COLOUR_TYPES = {1: 0, 2: 4, 3: 2, 4: 6}  # channels -> grey, grey + alpha, RGB, RGBA


def write_png(path, width, height, pixel, channels=4):
    """A PNG of 8-bit channels; pixel(x, y) gives a tuple of that many values."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, PNG_COLOUR_TYPES[channels], 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(bytes(rows), 6)))
        out.write(chunk(b"IEND", b""))


def write_text(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as out:
        out.write(text)


def solid(colour):
    return lambda x, y: colour


def write_icon_theme(home, name, icons):
    """A theme of 48 px icons in the user's data folder, chosen in GTK's settings.ini.
    icons maps an icon name to a PNG pixel function or to SVG text."""
    root = os.path.join(home, ".local", "share", "icons", name)
    write_text(os.path.join(root, "index.theme"),
               f"[Icon Theme]\nName={name}\nInherits=Adwaita,hicolor\nDirectories=48x48/all,scalable/all\n"
               "[48x48/all]\nSize=48\nType=Fixed\n[scalable/all]\nSize=48\nMinSize=8\nMaxSize=512\nType=Scalable\n")
    for icon, source in icons.items():
        if isinstance(source, str):
            write_text(os.path.join(root, "scalable", "all", icon + ".svg"), source)
        else:
            write_png(os.path.join(root, "48x48", "all", icon + ".png"), 48, 48, source)
    write_text(os.path.join(home, ".config", "gtk-3.0", "settings.ini"),
               f"[Settings]\ngtk-icon-theme-name={name}\n")


def set_xfce_backdrop(home, image=None, rgba=None, extra=""):
    """The XFCE desktop's backdrop of the first monitor: an image path, a plain colour, or both;
    extra: more of the channel's properties, as XML."""
    properties = ""
    if image is not None:
        escaped = image.replace("&", "&amp;").replace('"', "&quot;").replace("<", "&lt;")
        properties += f'<property name="last-image" type="string" value="{escaped}"/>'
        properties += '<property name="image-style" type="int" value="5"/>'
    else:
        properties += '<property name="image-style" type="int" value="0"/>'
    if rgba is not None:
        values = "".join(f'<value type="double" value="{component}"/>' for component in rgba)
        properties += f'<property name="rgba1" type="array">{values}</property>'
    write_text(os.path.join(home, ".config", "xfce4", "xfconf", "xfce-perchannel-xml", "xfce4-desktop.xml"),
               '<?xml version="1.0" encoding="UTF-8"?>\n<channel name="xfce4-desktop" version="1.0">'
               '<property name="backdrop" type="empty"><property name="screen0" type="empty">'
               '<property name="monitor0" type="empty"><property name="workspace0" type="empty">'
               f"{properties}</property></property></property></property>{extra}</channel>\n")


def environment(home):
    """Variables that keep a run away from the real user's settings."""
    return {"HOME": str(home), "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CONFIG_DIRS": os.path.join(home, "etc-xdg"), "XDG_CURRENT_DESKTOP": "",
            "GSETTINGS_BACKEND": "memory", "LANG": "C.UTF-8"}


def gsettings(home, *arguments):
    """Writes a setting the way a desktop's settings panel does, into the home's keyfile."""
    subprocess.run(["gsettings", *arguments], check=True,
                   env={**os.environ, **environment(home), "GSETTINGS_BACKEND": "keyfile"})


def make_sample_desktop(home):
    """The demo desktop: folders, documents and launchers over a painted evening sky."""
    desktop = os.path.join(home, "Desktop")
    for folder in ("Projects", "Photos from the trip", "Music"):
        os.makedirs(os.path.join(desktop, folder), exist_ok=True)
    write_text(os.path.join(desktop, "Shopping list.txt"), "bread\nmilk\nbrains\n")
    write_text(os.path.join(desktop, "A very long report name that the desktop has to shorten.pdf"), "%PDF-1.4\n")
    write_text(os.path.join(desktop, "notes.md"), "# Notes\n")
    write_png(os.path.join(desktop, "map of the city.png"), 8, 8, solid((10, 120, 200, 255)))
    write_text(os.path.join(desktop, "Terminal.desktop"),
               "[Desktop Entry]\nType=Application\nName=Terminal\nIcon=utilities-terminal\nExec=false\n")
    write_text(os.path.join(desktop, "Web Browser.desktop"),
               "[Desktop Entry]\nType=Application\nName=Web Browser\nIcon=web-browser\nExec=false\n")
    write_text(os.path.join(desktop, "Trash.desktop"),
               "[Desktop Entry]\nType=Link\nName=Trash\nIcon=user-trash-full\nURL=trash:///\n")

    def sky(x, y):
        t = y / 719
        glow = max(0.0, 1.0 - ((x - 900) ** 2 + (y - 640) ** 2) / 260000)
        red = int(30 + 150 * t + 60 * glow)
        green = int(40 + 60 * t + 40 * glow)
        blue = int(90 + 40 * (1 - t))
        return (min(red, 255), min(green, 255), min(blue, 255), 255)

    # The system's own theme, chosen the way a GTK desktop records it.
    write_text(os.path.join(home, ".config", "gtk-3.0", "settings.ini"), "[Settings]\ngtk-icon-theme-name=Adwaita\n")
    wallpaper = os.path.join(home, "Pictures", "Evening sky.png")
    write_png(wallpaper, 1280, 720, sky)
    set_xfce_backdrop(home, image=wallpaper, rgba=(0.1, 0.1, 0.2, 1.0))


if __name__ == "__main__":
    make_sample_desktop(sys.argv[1])
