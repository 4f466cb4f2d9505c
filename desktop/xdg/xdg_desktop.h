// The freedesktop side of the desktop shell, split into the pieces the Linux shell is made of so
// that each can be tested against a prepared home directory: the desktop folder and its items,
// the icon theme, the recorded icon positions and the desktop environment's wallpaper setting.
#pragma once

#include "desktop/shell.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// ---- Desktop folder ----

// The XDG desktop directory (XDG_DESKTOP_DIR of user-dirs.dirs, else ~/Desktop).
std::string XdgDesktopDirectory();
// One of the user's folders from user-dirs.dirs ("DESKTOP", "DOCUMENTS", ...); empty when not set.
std::string XdgUserDirectory(std::string_view name);
// That folder as user-dirs.dirs' text sets it, "$HOME" meaning home; empty when it does not.
std::string UserDirectory(std::string_view userDirsText, std::string_view name, const std::string& home);

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
    std::string path;  // the item's file, or the folder a special item opens
    std::string uuid;  // a mounted volume's, where GIO knows one
    std::optional<ShellPoint> recordedPosition;  // the environment's per-file metadata, when present
    int recordedMonitor = -1;                    // the monitor that record belongs to, where kept
    std::int64_t modified = 0;                   // seconds since 1970
    bool trusted = false;                        // a launcher the user allowed to run (metadata)
    bool executable = false;
    std::size_t listed = 0;  // its place in the folder's listing, the entries left out counted
};

// The desktop directory's items in enumeration order (GIO's: by inode number, a thousand entries
// at a time), hidden and backup files left out, with the position an environment recorded in the
// file's metadata (positionKey, e.g. "metadata::caja-icon-position", as "x,y"; none: not read).
// At most 4,096 items, and none after the reading deadline. None when the directory exists but
// cannot be read; a missing directory is an empty desktop.
std::optional<std::vector<XdgDesktopItem>> ReadDesktopFolder(const std::string& directory,
                                                             const char* positionKey = nullptr);

// The display name and icon of a desktop entry file; the file name and a generic icon when the
// entry has no usable Name or Icon. Never runs anything.
void ReadDesktopEntry(const std::string& path, XdgDesktopItem& item);

// ---- Layout ----

// A desktop's grid of slots, in window pixels: where the icon image of slot (column, row) lies.
struct SlotGrid {
    ShellPoint first{0, 0};  // the icon's top-left in slot (0, 0), the start corner's slot
    double stepX = 96;  // from one column to the next; column k is first.x + trunc(k * stepX)
    double stepY = 96;  // from one row to the next
    std::int32_t columns = 1;
    std::int32_t rows = 1;
    bool rowMajor = false;  // fill a row before the next; else a column before the next
    bool fromRight = false;   // the fill starts at the right-hand column (the start corner)
    bool fromBottom = false;  // the fill starts at the bottom row
    // Where cells share out a span unevenly: column k starts floor(spanX * k / columns) from the
    // first (the same for rows), instead of k * step. 0: even steps.
    std::int32_t spanX = 0;
    std::int32_t spanY = 0;
};

struct Slot {
    std::int32_t column = 0;
    std::int32_t row = 0;
    bool operator<(const Slot& other) const { return column != other.column ? column < other.column : row < other.row; }
};

ShellPoint SlotIcon(const SlotGrid& grid, Slot slot);
// The slot whose icon lies nearest to an icon at point (clamped into the grid).
Slot NearestSlot(const SlotGrid& grid, ShellPoint point);

// Where an item was put by the user: a slot of the grid, or an icon position in window pixels.
struct RecordedPlace {
    std::optional<Slot> slot;
    std::optional<ShellPoint> point;
};

// Places the items in the given order: recorded slots and points first (a slot already taken
// sends its item to the nearest free one), then the rest into the free slots in fill order (a
// slot outside the grid counts as no record). Items recorded at points wholly outside the window
// are left out (no position).
std::vector<std::optional<ShellPoint>> PlaceIcons(const SlotGrid& grid, const std::vector<RecordedPlace>& records,
                                                  std::int32_t iconSize, ScreenSize window);

// The order file managers show by default: by display name as people read names (numbers by
// value, in the user's collation), optionally folders first.
std::vector<std::size_t> NameOrder(const std::vector<XdgDesktopItem>& items, bool foldersFirst);

// The view: which item (an index into the shown items) and its icon's top-left in window pixels.
struct XdgViewItem {
    std::size_t item;
    ShellPoint position;
};

// ---- Icons ----

// The user's icon theme: GNOME's or XFCE's setting, GTK's settings.ini, KDE's kdeglobals; else
// the GTK default.
std::string XdgIconThemeName();

// Decodes an icon file to RGBA fitted into size x size keeping its shape: PNG with the built-in
// decoder, SVG and XPM by the system's loaders in a decoding child given at most seconds. None
// for missing, unreadable, oversized, corrupt or slow files, and files of other formats.
std::optional<RgbaImage> LoadIconImage(const std::string& path, std::int32_t size, double seconds);

// Decodes a picture's bytes in any format the system's image loaders read, in a decoding child
// given at most seconds: a vector image rasterised at fitWidth x fitHeight, a larger one scaled
// down into it. None when it cannot.
std::optional<RgbaImage> DecodeWithImageLoaders(const std::string& bytes, std::int32_t fitWidth, std::int32_t fitHeight,
                                                double seconds);

// ---- Time ----

// The moment by which the desktop must have been read, so that one which takes too long to read
// (a folder of a hundred thousand files, icons that decode slowly) still starts the show with
// what has been read by then: the folder listing stops, and icons not decoded yet show the
// generic image. None is set until the shell sets it.
void SetDesktopReadingDeadline(std::chrono::steady_clock::time_point deadline);
// Seconds left until then; a large number when no deadline is set, 0 or less once it passed.
double DesktopReadingSecondsLeft();

// UTF-8 to UTF-16, invalid sequences replaced, cut to at most 259 code units as the desktop's
// display names are.
std::u16string DisplayNameToUtf16(const std::string& utf8);
