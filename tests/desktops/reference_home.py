"""A prepared home for comparing the mirror with the real desktop programs: desktop launchers
whose icons are solid squares of distinct colours (so each icon can be found on a screenshot by
its colour), an icon theme holding them at every size, and the theme chosen for GTK and Qt."""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import sample_desktop  # noqa: E402

# Distinct, saturated colours no theme or wallpaper uses; one per item.
COLOURS = [(255, 0, 0), (0, 200, 0), (0, 0, 255), (255, 200, 0), (255, 0, 255), (0, 200, 200),
           (128, 0, 255), (255, 128, 0), (0, 128, 64), (128, 64, 0), (200, 200, 255), (255, 160, 160),
           (64, 0, 128), (0, 64, 255), (160, 255, 0), (255, 0, 96), (96, 96, 0), (0, 255, 160)]
THEME = "ReferenceSquares"
SIZES = (16, 22, 24, 32, 36, 48, 64, 72, 96, 128)


def icon_name(index):
    return f"reference-item-{index}"


def write_theme(home, extra_icons=()):
    """The theme: one solid square per item colour at each size (and any extra name: colour)."""
    root = os.path.join(home, ".local", "share", "icons", THEME)
    directories = [f"{size}x{size}/apps" for size in SIZES]
    index = "[Icon Theme]\nName=%s\nInherits=hicolor\nDirectories=%s\n" % (THEME, ",".join(directories))
    for size in SIZES:
        index += f"[{size}x{size}/apps]\nSize={size}\nType=Fixed\n"
    sample_desktop.write_text(os.path.join(root, "index.theme"), index)
    icons = [(icon_name(i), colour) for i, colour in enumerate(COLOURS)] + list(extra_icons)
    for name, colour in icons:
        for size in SIZES:
            sample_desktop.write_png(os.path.join(root, f"{size}x{size}", "apps", name + ".png"), size, size,
                                     sample_desktop.solid((*colour, 255)))
    sample_desktop.write_text(os.path.join(home, ".config", "gtk-3.0", "settings.ini"),
                              f"[Settings]\ngtk-icon-theme-name={THEME}\n")
    sample_desktop.write_text(os.path.join(home, ".config", "lxqt", "lxqt.conf"), f"[General]\nicon_theme={THEME}\n")


def write_launchers(home, names):
    """One launcher per name on the desktop, item i drawn with colour i."""
    desktop = os.path.join(home, "Desktop")
    os.makedirs(desktop, exist_ok=True)
    for index, name in enumerate(names):
        sample_desktop.write_text(os.path.join(desktop, f"item{index}.desktop"),
                                  f"[Desktop Entry]\nType=Application\nName={name}\nIcon={icon_name(index)}\n"
                                  "Exec=true\n")
        os.chmod(os.path.join(desktop, f"item{index}.desktop"), 0o755)


def find_squares(pixels, colours=COLOURS, minimum=64):
    """The bounding box (left, top, right, bottom) of each colour's exact pixels, by colour index,
    in an (height, width, 3) array; colours with fewer than `minimum` pixels are absent."""
    import numpy as np
    boxes = {}
    for index, colour in enumerate(colours):
        ys, xs = np.nonzero(np.all(pixels == np.array(colour, np.uint8), axis=2))
        if len(xs) >= minimum:
            boxes[index] = (int(xs.min()), int(ys.min()), int(xs.max()), int(ys.max()))
    return boxes
