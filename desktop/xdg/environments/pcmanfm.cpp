// LXQt (pcmanfm-qt's settings.conf, profile "lxqt") and LXDE (pcmanfm 1.3's
// desktop-items-0.conf, profile "LXDE", else pcmanfm.conf): the wallpaper when its mode shows
// one, and the desktop colour (black unless set).
#include "desktop/xdg/desktop_icons.h"
#include "desktop/xdg/settings_files.h"
#include "desktop/xdg/wallpaper.h"

#include <glib.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>

namespace {

// pcmanfm-qt draws a picture in these modes; any other value (and none at all) is "none".
bool LxqtShowsPicture(std::string_view mode) {
    return mode == "stretch" || mode == "fit" || mode == "center" || mode == "tile" || mode == "zoom";
}

// pcmanfm 1.3's modes by name, or an older file's leading digit (0 is colour); unknown is colour.
bool LxdeShowsPicture(std::string_view mode) {
    if (!mode.empty() && mode.front() >= '0' && mode.front() <= '9') return mode.front() >= '1' && mode.front() <= '4';
    return mode == "stretch" || mode == "fit" || mode == "crop" || mode == "center" || mode == "tile" ||
           mode == "screen";
}

}  // namespace

std::optional<WallpaperSetting> ParseLxqtSettings(std::string_view text) {
    const IniFile file = ParseIniFile(text);
    const std::string* wallpaper = file.Find("Desktop", "Wallpaper");
    const std::string* mode = file.Find("Desktop", "WallpaperMode");
    const std::string* color = file.Find("Desktop", "BgColor");
    WallpaperSetting setting;
    if (wallpaper != nullptr && mode != nullptr && LxqtShowsPicture(QtSettingText(*mode)))
        setting.path = LocalPathFromUriOrPath(QtSettingText(*wallpaper));
    setting.color = (color != nullptr ? ParseColorText(QtSettingText(*color)) : std::nullopt).value_or(Color{0, 0, 0});
    return setting;
}

std::optional<WallpaperSetting> ParsePcmanfmDesktop(std::string_view text, std::string_view group) {
    const IniFile file = ParseIniFile(text);
    const std::string* wallpaper = file.Find(group, "wallpaper");
    const std::string* mode = file.Find(group, "wallpaper_mode");
    const std::string* color = file.Find(group, "desktop_bg");
    if (wallpaper == nullptr && mode == nullptr && color == nullptr) return std::nullopt;
    WallpaperSetting setting;
    if (wallpaper != nullptr && mode != nullptr && LxdeShowsPicture(*mode)) setting.path = LocalPathFromUriOrPath(*wallpaper);
    setting.color = (color != nullptr ? ParseColorText(*color) : std::nullopt).value_or(Color{0, 0, 0});
    return setting;
}

std::optional<WallpaperSetting> LxqtWallpaper() {
    // The profile folder as pcmanfm-qt finds it: the user's, the system's, then the shipped one.
    std::optional<std::string> text = ReadConfigFile({"pcmanfm-qt", "lxqt", "settings.conf"});
    if (!text) text = ReadSettingsFile("/usr/share/pcmanfm-qt/lxqt/settings.conf");
    return text ? ParseLxqtSettings(*text) : std::nullopt;
}

std::optional<WallpaperSetting> LxdeWallpaper() {
    // An LXDE session runs pcmanfm with the profile "LXDE": the monitor's desktop-items file,
    // else the profile's pcmanfm.conf, whose user copy overrides the system's key by key.
    if (auto text = ReadSettingsFile(UserConfigPath({"pcmanfm", "LXDE", "desktop-items-0.conf"})))
        if (auto setting = ParsePcmanfmDesktop(*text, "*")) return setting;
    std::string merged;
    for (const gchar* const* folder = g_get_system_config_dirs(); *folder != nullptr; ++folder) {
        const std::string path = std::string(*folder) + "/pcmanfm/LXDE/pcmanfm.conf";
        if (auto text = ReadSettingsFile(path)) {
            merged = *text;
            break;
        }
    }
    if (auto text = ReadSettingsFile(UserConfigPath({"pcmanfm", "LXDE", "pcmanfm.conf"}))) merged += "\n" + *text;
    return merged.empty() ? std::nullopt : ParsePcmanfmDesktop(merged, "desktop");
}

// ---- Desktop icons ----------------------------------------------------------------------------

namespace {

// One desktop-items file's saved places: group = file name, the item's top-left as keys.
std::map<std::string, ShellPoint> SavedPlaces(const IniFile& file, const char* xKey, const char* yKey, bool qtPoint) {
    std::map<std::string, ShellPoint> places;
    for (const IniFile::Group& group : file.groups) {
        if (group.name == "*") continue;
        int x = 0, y = 0;
        if (qtPoint) {
            const std::string* point = group.Find("pos");
            if (point == nullptr || std::sscanf(point->c_str(), "@Point(%d %d)", &x, &y) != 2) continue;
        } else {
            const std::string* xText = group.Find(xKey);
            const std::string* yText = group.Find(yKey);
            if (xText == nullptr || yText == nullptr || std::sscanf(xText->c_str(), "%d", &x) != 1 ||
                std::sscanf(yText->c_str(), "%d", &y) != 1)
                continue;
        }
        places[group.name] = ShellPoint{x, y};
    }
    return places;
}

// The items in name order with their saved item corners turned into icon positions.
// snap: the desktop moves a saved item to the nearest cell (pcmanfm-qt) instead of keeping the
// exact place (pcmanfm).
std::optional<IconArrangement> ArrangeFolder(std::vector<XdgDesktopItem> items, std::size_t specials,
                                             const SlotGrid& grid, std::int32_t icon, ShellPoint iconInItem,
                                             const std::map<std::string, ShellPoint>& saved, bool snap,
                                             const ScreenFacts& screen) {
    std::vector<XdgDesktopItem> files(std::make_move_iterator(items.begin() + static_cast<std::ptrdiff_t>(specials)),
                                      std::make_move_iterator(items.end()));
    items.resize(specials);
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < specials; ++i) order.push_back(i);
    for (const std::size_t index : NameOrder(files, false)) order.push_back(specials + index);
    for (XdgDesktopItem& file : files) items.push_back(std::move(file));
    std::vector<RecordedPlace> records(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        const XdgDesktopItem& item = items[order[k]];
        const auto found = saved.find(k < specials ? item.displayName : item.fileName);
        if (found == saved.end()) continue;
        const ShellPoint iconAt{found->second.x + iconInItem.x, found->second.y + iconInItem.y};
        if (snap) records[k].slot = NearestSlot(grid, iconAt);
        else records[k].point = iconAt;
    }
    const auto positions = PlaceIcons(grid, records, icon, ScreenSize{screen.width, screen.height});
    return Arranged(icon, std::move(items), order, positions);
}

}  // namespace

std::optional<IconArrangement> LxdeDesktopIcons(const ScreenFacts& screen) {
    std::optional<std::vector<XdgDesktopItem>> files = ReadDesktopFolder(XdgDesktopDirectory());
    if (!files) return std::nullopt;
    const IniFile config = ParseIniFile(ReadSettingsFile(UserConfigPath({"pcmanfm", "LXDE", "desktop-items-0.conf"})).value_or(""));
    const auto flag = [&](const char* key, bool fallback) {
        const std::string* value = config.Find("*", key);
        return value ? *value == "1" || *value == "true" : fallback;
    };
    const std::optional<std::string> size = IniValue(ReadConfigFile({"libfm", "libfm.conf"}), "ui", "big_icon_size");
    const std::int32_t icon = size ? std::clamp<std::int32_t>(static_cast<std::int32_t>(g_ascii_strtoll(size->c_str(), nullptr, 10)), 16, 256) : 48;

    std::vector<XdgDesktopItem> items;
    if (flag("show_documents", false)) items.push_back(SpecialItem(SpecialPlace::Documents, "Documents"));
    if (flag("show_trash", true)) items.push_back(SpecialItem(SpecialPlace::Trash, "Trash Can"));
    if (flag("show_mounts", false))
        for (XdgDesktopItem& volume : MountedVolumes()) items.push_back(std::move(volume));
    const std::size_t specials = items.size();
    for (XdgDesktopItem& file : *files) items.push_back(std::move(file));

    // pcmanfm's cells for a 48 px icon and a two-line label at the default font: 116 x 106, in
    // columns from a 2 px margin, the icon centred 7 px below the cell's top.
    const std::int32_t cellWidth = icon + 68, cellHeight = icon + 58;
    SlotGrid grid;
    grid.stepX = cellWidth;
    grid.stepY = cellHeight;
    grid.columns = std::max(1, (screen.workWidth - 4) / cellWidth);
    grid.rows = std::max(1, (screen.workHeight - 4) / cellHeight);
    const ShellPoint iconInItem{(cellWidth - icon) / 2, 7};
    grid.first = ShellPoint{screen.workX + 2 + iconInItem.x, screen.workY + 2 + iconInItem.y};
    return ArrangeFolder(std::move(items), specials, grid, icon, iconInItem,
                         SavedPlaces(config, "x", "y", false), false, screen);
}

std::optional<IconArrangement> LxqtDesktopIcons(const ScreenFacts& screen) {
    std::optional<std::vector<XdgDesktopItem>> files = ReadDesktopFolder(XdgDesktopDirectory());
    if (!files) return std::nullopt;
    const std::optional<std::string> settings = ReadConfigFile({"pcmanfm-qt", "lxqt", "settings.conf"});
    if (IniValue(settings, "Desktop", "HideItems").value_or("false") == "true") return IconArrangement{};
    const std::optional<std::string> size = IniValue(settings, "Desktop", "DesktopIconSize");
    const std::int32_t icon = size ? std::clamp<std::int32_t>(static_cast<std::int32_t>(g_ascii_strtoll(size->c_str(), nullptr, 10)), 16, 256) : 48;
    const std::size_t specials = 0;  // its Home, Trash, Computer are real launchers in the folder

    // pcmanfm-qt's cells at the default font: the icon centred in a column with a label below,
    // from a 12 px margin around the work area.
    const std::int32_t cellWidth = icon + 79, cellHeight = icon + 68;
    SlotGrid grid;
    grid.stepX = cellWidth;
    grid.stepY = cellHeight;
    grid.columns = std::max(1, (screen.workWidth - 24) / cellWidth);
    grid.rows = std::max(1, (screen.workHeight - 24) / cellHeight);
    const ShellPoint iconInItem{(cellWidth - icon) / 2, 2};
    grid.first = ShellPoint{screen.workX + 12 + iconInItem.x, screen.workY + 12 + iconInItem.y};
    const IniFile places = ParseIniFile(ReadSettingsFile(UserConfigPath({"pcmanfm-qt", "lxqt", "desktop-items-0.conf"})).value_or(""));
    return ArrangeFolder(std::move(*files), specials, grid, icon, iconInItem, SavedPlaces(places, "", "", true), true,
                         screen);
}
