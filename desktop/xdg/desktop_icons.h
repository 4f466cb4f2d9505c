// Which icons the running desktop shows, how big, and where: the desktop folder's items and the
// environment's own icons (Home, Trash, Computer, File System, mounted volumes), placed as that
// environment places them, in window pixels (the primary monitor's top-left is (0, 0)).
#pragma once

#include "desktop/xdg/wallpaper.h"
#include "desktop/xdg/xdg_desktop.h"

#include <optional>
#include <string>
#include <vector>

struct IconArrangement {
    std::int32_t iconSize = 48;
    std::vector<XdgDesktopItem> items;  // everything the desktop shows, its own icons included
    std::vector<XdgViewItem> view;      // in the desktop's order; items left out have no entry
};

// The arrangement of the environment; none when the desktop folder exists but cannot be read.
std::optional<IconArrangement> ArrangeDesktopIcons(DesktopEnvironment environment, const ScreenFacts& screen);

// ---- Pieces the environments share ----

// An icon the desktop shows for a place rather than a file.
enum class SpecialPlace { Home, Trash, Computer, FileSystem, Network, Documents };
XdgDesktopItem SpecialItem(SpecialPlace place, const std::string& label);
// The mounted volumes GIO's volume monitor knows, in its order, labelled and iconed as it says.
std::vector<XdgDesktopItem> MountedVolumes();

// Columns of equal cells from margin pixels into the work area, the icon at iconInCell in a cell.
SlotGrid ColumnsOfCells(const ScreenFacts& screen, std::int32_t margin, std::int32_t cellWidth, std::int32_t cellHeight,
                        ShellPoint iconInCell);

// Turns the places the environment gives its items (in its order) into the view.
IconArrangement Arranged(std::int32_t iconSize, std::vector<XdgDesktopItem> items, const std::vector<std::size_t>& order,
                         const std::vector<std::optional<ShellPoint>>& positions);

// ---- The environments ----

std::optional<IconArrangement> GnomeDesktopIcons(const ScreenFacts& screen, bool ubuntu);  // DING, when active
std::optional<IconArrangement> BudgieDesktopIcons(const ScreenFacts& screen);
std::optional<IconArrangement> NemoDesktopIcons(const ScreenFacts& screen);   // Cinnamon
std::optional<IconArrangement> CajaDesktopIcons(const ScreenFacts& screen);   // MATE
std::optional<IconArrangement> PlasmaDesktopIcons(const ScreenFacts& screen);
std::optional<IconArrangement> XfceDesktopIcons(const ScreenFacts& screen);
std::optional<IconArrangement> LxqtDesktopIcons(const ScreenFacts& screen);
std::optional<IconArrangement> LxdeDesktopIcons(const ScreenFacts& screen);
// No environment named: the folder in name order on a plain grid, at positions GNOME-style
// metadata recorded.
std::optional<IconArrangement> PlainDesktopIcons(const ScreenFacts& screen);
