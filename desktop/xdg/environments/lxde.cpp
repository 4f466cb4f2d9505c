// LXDE.
// Icons: pcmanfm's desktop (profile "LXDE", desktop-items-0.conf): Documents and Trash before the
// files, mounts after them, the files oldest first; saved places per file; cells sized by the
// icon (libfm's big_icon_size) and two lines of the desktop font as GTK 2 measures it.
// Wallpaper: pcmanfm 1.3's desktop-items-0.conf, else the profile's pcmanfm.conf: the picture
// when its mode shows one, and the desktop colour (black unless set).
#include "desktop/xdg/desktop_places.h"
#include "desktop/xdg/environments/environment_readers.h"
#include "desktop/xdg/environments/pcmanfm.h"

#include <glib.h>
#include <pango/pangocairo.h>

#include <algorithm>

using namespace pcmanfm;

namespace {

// pcmanfm 1.3's modes by name, or an older file's leading digit (0 is colour); unknown is colour.
bool LxdeShowsPicture(std::string_view mode) {
    if (!mode.empty() && mode.front() >= '0' && mode.front() <= '9') return mode.front() >= '1' && mode.front() <= '4';
    return mode == "stretch" || mode == "fit" || mode == "crop" || mode == "center" || mode == "tile" ||
           mode == "screen";
}

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

}  // namespace

// ---- Wallpaper ----------------------------------------------------------------------------------

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

std::optional<WallpaperSetting> LxdeWallpaper(const DesktopSession&) {
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

// ---- Icons --------------------------------------------------------------------------------------

std::optional<IconArrangement> LxdeDesktopIcons(const DesktopSession& session) {
    const ScreenFacts& screen = session.screen;
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
    std::map<std::string, RecordedPlace> saved;
    for (const auto& [name, corner] : SavedPlaces(config, "x", "y", false))
        saved[name].point = ShellPoint{corner.x + iconInItem.x, corner.y + iconInItem.y};
    const std::vector<std::size_t> fileOrder = ModifiedOrder(*files);
    return ArrangeFolder(std::move(items), first, std::move(*files), fileOrder, grid, icon, saved, screen);
}
