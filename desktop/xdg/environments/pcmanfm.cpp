// LXQt (pcmanfm-qt's settings.conf, profile "lxqt") and LXDE (pcmanfm 1.3's
// desktop-items-0.conf, profile "LXDE", else pcmanfm.conf): the wallpaper when its mode shows
// one, and the desktop colour (black unless set).
#include "desktop/xdg/settings_files.h"
#include "desktop/xdg/wallpaper.h"

#include <glib.h>

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
