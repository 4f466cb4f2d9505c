// LXQt (pcmanfm-qt's settings.conf, profile "lxqt") and LXDE (pcmanfm 1.3's
// desktop-items-0.conf, profile "LXDE", else pcmanfm.conf): the wallpaper when its mode shows
// one, and the desktop colour (black unless set).
#include "desktop/xdg/desktop_icons.h"
#include "desktop/xdg/settings_files.h"
#include "desktop/xdg/wallpaper.h"

#include <glib.h>
#include <pango/pangocairo.h>

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
// The files in pcmanfm's default order: by modification time (whole seconds), oldest first, then
// by name ignoring case; folders mingle with files.
std::vector<std::size_t> ModifiedOrder(const std::vector<XdgDesktopItem>& files) {
    std::vector<std::size_t> byName = NameOrder(files, false);
    std::stable_sort(byName.begin(), byName.end(),
                     [&](std::size_t a, std::size_t b) { return files[a].modified < files[b].modified; });
    return byName;
}

// The items in the desktop's order: its own icons first (`first` of them), the files in
// fileOrder, then the rest of its own (mounts, after the files). Saved item corners become icon
// positions; snap: the desktop moves a saved item to the nearest cell (pcmanfm-qt) instead of
// keeping the exact place (pcmanfm).
std::optional<IconArrangement> ArrangeFolder(std::vector<XdgDesktopItem> items, std::size_t first,
                                             std::vector<XdgDesktopItem> files, const std::vector<std::size_t>& fileOrder,
                                             const SlotGrid& grid, std::int32_t icon, ShellPoint iconInItem,
                                             const std::map<std::string, ShellPoint>& saved, bool snap,
                                             const ScreenFacts& screen) {
    const std::size_t specials = items.size();
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < first; ++i) order.push_back(i);
    for (const std::size_t index : fileOrder) order.push_back(specials + index);
    for (std::size_t i = first; i < specials; ++i) order.push_back(i);
    for (XdgDesktopItem& file : files) items.push_back(std::move(file));
    std::vector<RecordedPlace> records(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        const XdgDesktopItem& item = items[order[k]];
        const auto found = saved.find(order[k] < specials ? item.displayName : item.fileName);
        if (found == saved.end()) continue;
        const ShellPoint iconAt{found->second.x + iconInItem.x, found->second.y + iconInItem.y};
        if (snap) records[k].slot = NearestSlot(grid, iconAt);
        else records[k].point = iconAt;
    }
    const auto positions = PlaceIcons(grid, records, icon, ScreenSize{screen.width, screen.height});
    return Arranged(icon, std::move(items), order, positions);
}

}  // namespace

// Pango's ascent + descent in whole pixels of a font at a resolution, with hinted metrics as
// GTK 2 renders them: the line height pcmanfm reserves for labels.
std::int32_t FontHeight(const std::string& font, double dpi) {
    PangoFontMap* map = pango_cairo_font_map_new();
    PangoContext* context = pango_font_map_create_context(map);
    pango_cairo_context_set_resolution(context, dpi);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    PangoFontDescription* description = pango_font_description_from_string(font.c_str());
    PangoFontMetrics* metrics = pango_context_get_metrics(context, description, nullptr);
    const int height = (pango_font_metrics_get_ascent(metrics) + pango_font_metrics_get_descent(metrics)) / PANGO_SCALE;
    pango_font_metrics_unref(metrics);
    pango_font_description_free(description);
    g_object_unref(context);
    g_object_unref(map);
    return std::clamp(height, 1, 500);
}

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

    // Documents and Trash come before the files, mounts after them.
    std::vector<XdgDesktopItem> items;
    if (flag("show_documents", false)) items.push_back(SpecialItem(SpecialPlace::Documents, "Documents"));
    if (flag("show_trash", true)) items.push_back(SpecialItem(SpecialPlace::Trash, "Trash"));
    const std::size_t first = items.size();
    if (flag("show_mounts", false))
        for (XdgDesktopItem& volume : MountedVolumes()) items.push_back(std::move(volume));

    // pcmanfm's cells: 104 px of label (or the icon, if wider) plus 6 px padding a side, and
    // the icon, 2 px, two label lines of the desktop font ("Sans 12" unless set) with 4 px, and
    // the padding; in columns from 2 px into the work area, the icon 7 px below a cell's top.
    const std::string* font = config.Find("*", "desktop_font");
    const std::int32_t fontHeight = FontHeight(font != nullptr && !font->empty() ? *font : "Sans 12", screen.dpi);
    const std::int32_t cellWidth = std::max(104, icon) + 12;
    const ShellPoint iconInItem{(cellWidth - icon) / 2, 7};
    const SlotGrid grid = ColumnsOfCells(screen, 2, cellWidth, icon + 2 + 2 * fontHeight + 4 + 12, iconInItem);
    const std::vector<std::size_t> fileOrder = ModifiedOrder(*files);
    return ArrangeFolder(std::move(items), first, std::move(*files), fileOrder, grid, icon, iconInItem,
                         SavedPlaces(config, "x", "y", false), false, screen);
}

std::optional<IconArrangement> LxqtDesktopIcons(const ScreenFacts& screen) {
    std::optional<std::vector<XdgDesktopItem>> files = ReadDesktopFolder(XdgDesktopDirectory());
    if (!files) return std::nullopt;
    const std::optional<std::string> settings = ReadConfigFile({"pcmanfm-qt", "lxqt", "settings.conf"});
    if (IniValue(settings, "Desktop", "HideItems").value_or("false") == "true") return IconArrangement{};
    const std::optional<std::string> size = IniValue(settings, "Desktop", "DesktopIconSize");
    const std::int32_t icon = size ? std::clamp<std::int32_t>(static_cast<std::int32_t>(g_ascii_strtoll(size->c_str(), nullptr, 10)), 16, 256) : 48;

    // pcmanfm-qt's cells at the default font: the icon centred in a column with a label below,
    // from a 12 px margin around the work area. (Its Home, Trash and Computer are real launchers
    // in the folder.)
    const ShellPoint iconInItem{79 / 2, 2};
    const SlotGrid grid = ColumnsOfCells(screen, 12, icon + 79, icon + 68, iconInItem);
    const IniFile places = ParseIniFile(ReadSettingsFile(UserConfigPath({"pcmanfm-qt", "lxqt", "desktop-items-0.conf"})).value_or(""));
    const std::vector<std::size_t> fileOrder = NameOrder(*files, true);
    return ArrangeFolder({}, 0, std::move(*files), fileOrder, grid, icon, iconInItem, SavedPlaces(places, "", "", true),
                         true, screen);
}
