// The freedesktop side of the desktop shell, split into the pieces the Linux shell is made of so
// that each can be tested against a prepared home directory: the desktop folder and its items,
// the icon theme, the recorded icon positions and the desktop environment's wallpaper setting.
#pragma once

#include "desktop/shell.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// ---- Desktop folder ----

// The XDG desktop directory (XDG_DESKTOP_DIR of user-dirs.dirs, else ~/Desktop).
std::string XdgDesktopDirectory();

// How an item's icon is found: a file named by a desktop entry, else theme icon names to try in
// order.
struct XdgIconRequest {
    std::string file;                // an absolute image path from a desktop entry's Icon key
    std::vector<std::string> names;  // theme icon names, most specific first
};

struct XdgDesktopItem {
    std::string fileName;     // the name in the directory, as raw bytes
    std::string displayName;  // what the desktop shows, UTF-8
    bool isDirectory = false;
    XdgIconRequest icon;
    std::optional<ShellPoint> recordedPosition;  // GNOME's per-file metadata, when present
};

// The desktop directory's items in enumeration order, hidden and backup files left out. None when
// the directory exists but cannot be read; a missing directory is an empty desktop.
std::optional<std::vector<XdgDesktopItem>> ReadDesktopFolder(const std::string& directory);

// The display name and icon of a desktop entry file; the file name and a generic icon when the
// entry has no usable Name or Icon. Never runs anything.
void ReadDesktopEntry(const std::string& path, XdgDesktopItem& item);

// ---- Layout ----

struct GridLayout {
    ShellPoint origin{0, 0};
    std::int32_t areaHeight = 1080;  // height of the area the columns fill
};

// The cell grid of a fresh desktop: columns of cells from the top-left corner, filled top to
// bottom, then the next column to the right.
inline constexpr std::int32_t GridCellWidth = 96;
inline constexpr std::int32_t GridCellHeight = 96;
inline constexpr std::int32_t GridMargin = 12;
inline constexpr std::int32_t GridIconSize = 48;

std::int32_t GridRows(const GridLayout& grid);
// The top-left corner of a 48 px icon in cell (column, row).
ShellPoint GridCellPosition(const GridLayout& grid, std::int32_t column, std::int32_t row);

// Grid cells xfdesktop recorded for icons, by label: (column, row). Empty when there is no file.
std::map<std::string, std::pair<std::int32_t, std::int32_t>> ReadXfdesktopLayout(std::int32_t screenWidth,
                                                                                std::int32_t screenHeight);
// Parses one xfdesktop icon layout file's text.
std::map<std::string, std::pair<std::int32_t, std::int32_t>> ParseXfdesktopLayout(const std::string& text);

// The view's order (by name as a file manager sorts it) and each item's position: a recorded one
// where the desktop environment kept it, otherwise the next free grid cell.
struct XdgViewItem {
    std::size_t item;  // index into the folder's items
    ShellPoint position;
};
std::vector<XdgViewItem> ArrangeDesktop(const std::vector<XdgDesktopItem>& items, const GridLayout& grid,
                                        const std::map<std::string, std::pair<std::int32_t, std::int32_t>>& cells);

// ---- Icons ----

// The user's icon theme: GNOME's or XFCE's setting, GTK's settings.ini, KDE's kdeglobals; else
// the GTK default.
std::string XdgIconThemeName();

// Decodes an image file to RGBA fitted into size x size keeping its aspect ratio (PNG, SVG and
// whatever else the image loaders read). None for missing, unreadable, oversized or corrupt files.
std::optional<RgbaImage> LoadIconImage(const std::string& path, std::int32_t size);

// Decodes any image file the platform's loaders read, scaled to fitWidth x fitHeight when it is
// a vector image or larger than that. None when it cannot.
std::optional<RgbaImage> LoadImageWithPlatform(const std::string& path, std::int32_t fitWidth, std::int32_t fitHeight);

// UTF-8 to UTF-16, invalid sequences replaced, cut to at most 259 code units as the desktop's
// display names are.
std::u16string DisplayNameToUtf16(const std::string& utf8);
