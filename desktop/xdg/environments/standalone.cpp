// No desktop environment: a window manager alone, or a session that names none.
// Icons: the desktop folder in name order, folders first, on a plain grid of 96 px cells from the
// top-left, at the positions GNOME-style metadata recorded.
// Wallpaper: the setters that run without a desktop environment: nitrogen's saved setting and
// the command feh saves in ~/.fehbg (read as text, never run).
#include "desktop/xdg/environments/environment_readers.h"
#include "desktop/xdg/settings_files.h"

#include <glib.h>

#include <cstring>

// ---- Icons --------------------------------------------------------------------------------------

std::optional<IconArrangement> PlainDesktopIcons(const DesktopSession& session) {
    const ScreenFacts& screen = session.screen;
    std::optional<std::vector<XdgDesktopItem>> items =
        ReadDesktopFolder(XdgDesktopDirectory(), "metadata::nautilus-icon-position");
    if (!items) return std::nullopt;
    // Columns of 96 px cells from the top-left corner, filled top to bottom; the 48 px icon at the
    // top of its cell, centred.
    const SlotGrid grid = ColumnsOfCells(screen, 12, 96, 96, ShellPoint{(96 - 48) / 2, 8});
    const std::vector<std::size_t> order = NameOrder(*items, true);
    std::vector<RecordedPlace> records;
    for (const std::size_t index : order) records.push_back(RecordedPlace{std::nullopt, (*items)[index].recordedPosition});
    const auto positions = PlaceIcons(grid, records, 48, ScreenSize{screen.width, screen.height});
    return Arranged(48, std::move(*items), order, positions);
}

// ---- Wallpaper ----------------------------------------------------------------------------------

std::optional<WallpaperSetting> ParseNitrogenConfig(std::string_view text) {
    const IniFile file = ParseIniFile(text);
    // The whole screen's entry, else the first screen's, else the first entry of any screen.
    const IniFile::Group* chosen = nullptr;
    for (const char* name : {"xin_-1", "xin_0", ":0.0"})
        for (const IniFile::Group& group : file.groups)
            if (chosen == nullptr && group.name == name) chosen = &group;
    if (chosen == nullptr && !file.groups.empty()) chosen = &file.groups.front();
    if (chosen == nullptr) return std::nullopt;
    WallpaperSetting setting;
    if (const std::string* path = chosen->Find("file")) setting.path = LocalPathFromUriOrPath(*path);
    if (const std::string* color = chosen->Find("bgcolor")) {
        // nitrogen pads its hex digits with spaces ("# 0 0 0" is black).
        std::string digits = *color;
        for (std::size_t i = 1; i < digits.size(); ++i)
            if (digits[i] == ' ') digits[i] = '0';
        setting.color = ParseColorText(digits);
    }
    if (setting.path.empty() && !setting.color) return std::nullopt;
    return setting;
}

std::optional<WallpaperSetting> NitrogenWallpaper(const DesktopSession&) {
    const std::optional<std::string> text = ReadSettingsFile(UserConfigPath({"nitrogen", "bg-saved.cfg"}));
    return text ? ParseNitrogenConfig(*text) : std::nullopt;
}

std::optional<WallpaperSetting> ParseFehbg(const std::string& text) {
    gchar** lines = g_strsplit(text.c_str(), "\n", 256);
    std::optional<WallpaperSetting> result;
    for (gchar** line = lines; *line != nullptr && !result; ++line) {
        gint argc = 0;
        gchar** argv = nullptr;
        if (**line == '#' || !g_shell_parse_argv(*line, &argc, &argv, nullptr)) continue;
        gchar* program = g_path_get_basename(argv[0]);
        if (std::strcmp(program, "feh") == 0) {
            for (gint i = 1; i < argc; ++i) {
                if (argv[i][0] == '-') continue;
                const std::string path = LocalPathFromUriOrPath(argv[i]);
                if (!path.empty()) {
                    result = WallpaperSetting{path, std::nullopt, std::nullopt};
                    break;
                }
            }
        }
        g_free(program);
        g_strfreev(argv);
    }
    g_strfreev(lines);
    return result;
}

std::optional<WallpaperSetting> FehWallpaper(const DesktopSession&) {
    gchar* path = g_build_filename(g_get_home_dir(), ".fehbg", nullptr);
    const std::optional<std::string> text = ReadSettingsFile(path);
    g_free(path);
    return text ? ParseFehbg(*text) : std::nullopt;
}
