// The XDG desktop folder: which directory it is, which of its entries the desktop shows, and the
// name and icon each one shows. Desktop entries are read as key files, never run.
#pragma once

#include "desktop/desktop_capture.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// UTF-8 to UTF-16, invalid sequences replaced, cut to at most 259 code units as the desktop's
// display names are.
std::u16string DisplayNameToUtf16(const std::string& utf8);
