// What pcmanfm (LXDE) and pcmanfm-qt (LXQt) share: a desktop-items file of saved places per
// file, the desktop's own icons before and after the files, and columns of cells filled from the
// top-left. Each sizes its cells by its own rules (lxde.cpp, lxqt.cpp).
#pragma once

#include "desktop/xdg/icon_layout.h"
#include "desktop/xdg/settings_files.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pcmanfm {

// One desktop-items file's saved places: group = file name, the item's top-left as keys (x and y,
// or pcmanfm-qt's "pos" as a Qt point).
std::map<std::string, ShellPoint> SavedPlaces(const IniFile& file, const char* xKey, const char* yKey, bool qtPoint);

// The files in pcmanfm's default order: by modification time (whole seconds), oldest first, then
// by name ignoring case; folders mingle with files.
std::vector<std::size_t> ModifiedOrder(const std::vector<XdgDesktopItem>& files);

// The items in the desktop's order: its own icons first (`first` of them), the files in
// fileOrder, then the rest of its own (mounts, after the files), each where the desktop put its
// saved place (by its group name: the display name of its own icons, else the file name).
std::optional<IconArrangement> ArrangeFolder(std::vector<XdgDesktopItem> items, std::size_t first,
                                             std::vector<XdgDesktopItem> files, const std::vector<std::size_t>& fileOrder,
                                             const SlotGrid& grid, std::int32_t icon,
                                             const std::map<std::string, RecordedPlace>& saved, const ScreenFacts& screen);

}  // namespace pcmanfm
