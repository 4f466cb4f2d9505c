// Finding an icon's file in the user's icon theme the way GTK 3 (and so the GTK desktops) finds
// it: the theme, what it inherits, then Adwaita, gnome and hicolor; in each theme the directory
// whose size suits best; then loose icons. It reads the theme folders themselves: no
// icon-theme.cache (which a user can corrupt, and GTK trusts without a check) is ever read, and
// each index.theme is read once, bounded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// ---- index.theme ----

enum class IconDirectoryType { Fixed, Scalable, Threshold };

struct IconDirectoryKeys {
    std::string name;  // as Directories lists it, e.g. "48x48/apps"
    IconDirectoryType type = IconDirectoryType::Threshold;
    int size = 0;
    int minSize = 0;
    int maxSize = 0;
    int threshold = 2;
    int scale = 1;
};

struct IconThemeIndex {
    bool listsDirectories = false;  // without Directories, a theme is none and its parents unread
    std::vector<std::string> inherits;
    std::vector<IconDirectoryKeys> directories;  // Directories, then ScaledDirectories; those with a Size
};

// The index as GTK reads it (a key file, lists separated by ','); none when the text does not
// parse as a key file. Directory names that would climb out of the theme
// ("..", absolute) are left out, and only so many directories and parents are kept.
std::optional<IconThemeIndex> ParseIconThemeIndex(std::string_view text);

// ---- Choosing a directory ----

// The files one directory holds for each icon name, as bits of the suffixes present.
enum IconSuffix : unsigned { IconXpm = 1, IconSvg = 2, IconPng = 4, IconSymbolicPng = 16 };
using IconListing = std::unordered_map<std::string, unsigned>;
// Files the lookup reads: "name.symbolic.png", "name.png", "name.svg", "name.xpm". Others are
// ignored.
void AddIconFile(IconListing& listing, std::string_view fileName);
// The suffix a directory's file of those bits is taken with (symbolic PNG, PNG, SVG, XPM); none
// when none of them is usable.
std::optional<std::string_view> BestIconSuffix(unsigned suffixes, bool allowSvg);

// How far a directory's sizes are from the wanted size (0: it serves that size).
int IconSizeDifference(const IconDirectoryKeys& directory, int size);
// Whether candidate, size difference candidateDifference, beats the best so far: exact beats
// inexact, directories at least as large as wanted beat smaller ones (shrinking looks better),
// then nearer, then the wanted scale, then bitmaps over vectors, then the later directory.
bool IsBetterIconDirectory(const IconDirectoryKeys& candidate, int candidateDifference, const IconDirectoryKeys& best,
                           int bestDifference, int size);

// ---- The lookup ----

class IconThemeLookup {
public:
    // searchPath: the folders themes and loose icons are found in, first first (IconSearchPath()).
    IconThemeLookup(const std::string& themeName, std::vector<std::string> searchPath);

    // The file of the first name the themes have at this size (the first theme that has any of
    // the names decides), else a loose icon of the first name found; empty when there is none.
    std::string Choose(const std::vector<std::string>& names, int size) const;

private:
    struct Directory {
        IconDirectoryKeys keys;
        std::string path;
        IconListing icons;
    };
    struct Theme {
        std::string name;
        std::vector<Directory> directories;
    };
    struct Probe {
        std::string folder;  // <search path entry>/<theme>
        bool exists;
    };

    void InsertTheme(const std::string& name, int depth);
    std::string LookUp(const Theme& theme, const std::string& name, int size) const;
    void GatherLooseIcons();

    std::vector<std::string> searchPath;
    std::vector<Theme> themes;
    std::vector<Probe> probes;  // the theme folders tried so far, latest first
    bool allowSvg = true;
    struct LooseIcon {
        std::string svg;
        std::string other;  // a symbolic PNG, PNG or XPM
        unsigned otherSuffix = 0;
    };
    std::unordered_map<std::string, LooseIcon> looseIcons;
};

// The user's icon theme: GNOME's or XFCE's setting, GTK's settings.ini, KDE's kdeglobals; else
// the GTK default.
std::string XdgIconThemeName();

// $XDG_DATA_HOME/icons, ~/.icons, each $XDG_DATA_DIRS/icons, then each $XDG_DATA_DIRS/pixmaps.
std::vector<std::string> IconSearchPath();
