// LXQt.
// Icons: pcmanfm-qt's desktop (profile "lxqt", settings.conf and desktop-items-0.conf): the files
// by name, folders first; saved places snapped into cells by truncation and moved down the
// column on collision; cells from Qt's metrics of the desktop font (settings.conf, else
// lxqt.conf) and removeBottomGap's share of the work area.
// Wallpaper: pcmanfm-qt's settings.conf (the user's, else the system's): the picture when its
// mode shows one, and the desktop colour.
#include "desktop/xdg/environments/environment_readers.h"
#include "desktop/xdg/environments/pcmanfm.h"

#include <glib.h>
#include <hb.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

using namespace pcmanfm;

namespace {

// pcmanfm-qt draws a picture in these modes; any other value (and none at all) is "none".
bool LxqtShowsPicture(std::string_view mode) {
    return mode == "stretch" || mode == "fit" || mode == "center" || mode == "tile" || mode == "zoom";
}

// The metrics QFontMetrics gives for a Qt font description ("family,point size,pixel size,...")
// at a resolution, from the font file fontconfig picks for the family: the pixel size rounded,
// then the hhea table's ascent, descent and line gap and the OS/2 table's average character
// width scaled to it and rounded. (Measured against pcmanfm-qt 1.2's cells with DejaVu Sans
// from 9 to 16 pt at 100 dpi.)
struct QtFontMetrics {
    std::int32_t lineSpacing = 0;
    std::int32_t averageCharWidth = 0;
};

std::int16_t BigEndian16(hb_blob_t* blob, unsigned offset) {
    unsigned length = 0;
    const char* data = hb_blob_get_data(blob, &length);
    if (data == nullptr || length < offset + 2) return 0;
    return static_cast<std::int16_t>((static_cast<unsigned char>(data[offset]) << 8) | static_cast<unsigned char>(data[offset + 1]));
}

QtFontMetrics MeasureQtFont(const std::string& description, double dpi) {
    const std::string family = description.substr(0, description.find(','));
    double points = 12, pixels = -1;
    if (const std::size_t comma = description.find(','); comma != std::string::npos) {
        points = g_ascii_strtod(description.c_str() + comma + 1, nullptr);
        if (const std::size_t next = description.find(',', comma + 1); next != std::string::npos)
            pixels = g_ascii_strtod(description.c_str() + next + 1, nullptr);
    }
    const double size = points > 0 ? std::lround(points * dpi / 72.0) : (pixels > 0 ? std::lround(pixels) : 16);
    const double px = std::clamp(size, 1.0, 500.0);

    PangoFontMap* map = pango_cairo_font_map_new();
    PangoContext* context = pango_font_map_create_context(map);
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, family.empty() ? "Sans Serif" : family.c_str());
    pango_font_description_set_absolute_size(font, px * PANGO_SCALE);
    QtFontMetrics metrics;
    if (PangoFont* loaded = pango_font_map_load_font(map, context, font)) {
        hb_face_t* face = hb_font_get_face(pango_font_get_hb_font(loaded));
        const double unitsPerEm = std::max(1u, hb_face_get_upem(face));
        hb_blob_t* hhea = hb_face_reference_table(face, HB_TAG('h', 'h', 'e', 'a'));
        hb_blob_t* os2 = hb_face_reference_table(face, HB_TAG('O', 'S', '/', '2'));
        const int height = BigEndian16(hhea, 4) - BigEndian16(hhea, 6) + BigEndian16(hhea, 8);
        metrics.lineSpacing = static_cast<std::int32_t>(std::lround(px * height / unitsPerEm));
        metrics.averageCharWidth = static_cast<std::int32_t>(std::lround(px * BigEndian16(os2, 2) / unitsPerEm));
        hb_blob_destroy(hhea);
        hb_blob_destroy(os2);
        // A font without those tables: Pango's own line height and character width.
        if (metrics.lineSpacing <= 0 || metrics.averageCharWidth <= 0) {
            PangoFontMetrics* own = pango_font_get_metrics(loaded, nullptr);
            if (metrics.lineSpacing <= 0) metrics.lineSpacing = pango_font_metrics_get_height(own) / PANGO_SCALE;
            if (metrics.averageCharWidth <= 0)
                metrics.averageCharWidth = pango_font_metrics_get_approximate_char_width(own) / PANGO_SCALE;
            pango_font_metrics_unref(own);
        }
        g_object_unref(loaded);
    }
    pango_font_description_free(font);
    g_object_unref(context);
    g_object_unref(map);
    metrics.lineSpacing = std::clamp(metrics.lineSpacing, 1, 500);
    metrics.averageCharWidth = std::clamp(metrics.averageCharWidth, 1, 500);
    return metrics;
}

}  // namespace

// ---- Wallpaper ----------------------------------------------------------------------------------

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

std::optional<WallpaperSetting> LxqtWallpaper(const DesktopSession&) {
    // The profile folder as pcmanfm-qt finds it: the user's, the system's, then the shipped one.
    std::optional<std::string> text = ReadConfigFile({"pcmanfm-qt", "lxqt", "settings.conf"});
    if (!text) text = ReadSettingsFile("/usr/share/pcmanfm-qt/lxqt/settings.conf");
    return text ? ParseLxqtSettings(*text) : std::nullopt;
}

// ---- Icons --------------------------------------------------------------------------------------

std::optional<IconArrangement> LxqtDesktopIcons(const DesktopSession& session) {
    const ScreenFacts& screen = session.screen;
    std::optional<std::vector<XdgDesktopItem>> files = ReadDesktopFolder(XdgDesktopDirectory());
    if (!files) return std::nullopt;
    const std::optional<std::string> settings = ReadConfigFile({"pcmanfm-qt", "lxqt", "settings.conf"});
    if (IniValue(settings, "Desktop", "HideItems").value_or("false") == "true") return IconArrangement{};
    const std::optional<std::string> size = IniValue(settings, "Desktop", "DesktopIconSize");
    const std::int32_t icon = size ? std::clamp<std::int32_t>(static_cast<std::int32_t>(g_ascii_strtoll(size->c_str(), nullptr, 10)), 16, 256) : 48;

    // pcmanfm-qt's cells (libfm-qt FolderView::updateGridSize): 13 average characters of the
    // desktop font or the icon, whichever is wider, and the icon over three lines of text, plus
    // 4 px and the cell margins; in columns from a 12 px margin around the work area.
    int marginX = 3, marginY = 1;
    if (const std::optional<std::string> margins = IniValue(settings, "Desktop", "DesktopCellMargins"))
        if (std::sscanf(margins->c_str(), "@Size(%d %d)", &marginX, &marginY) != 2) marginX = 3, marginY = 1;
    marginX = std::clamp(marginX, 0, 48), marginY = std::clamp(marginY, 0, 48);
    std::optional<std::string> font = IniValue(settings, "Desktop", "Font");
    if (!font || QtSettingText(*font).empty()) font = IniValue(ReadConfigFile({"lxqt", "lxqt.conf"}), "Qt", "font");
    // Without either, Qt's own default; measured to be 12 pt of the default sans font.
    const QtFontMetrics metrics = MeasureQtFont(font ? QtSettingText(*font) : "Sans Serif,12", screen.dpi);
    const std::int32_t cellWidth = std::max(icon, 13 * metrics.averageCharWidth) + 4 + 2 * marginX;
    // removeBottomGap (desktopwindow.cpp) then shares the space the rows leave at the bottom of
    // the work area out as extra vertical margin. (It could also shrink the margin for one more
    // row, but only below the configured one, which a fresh start never has.)
    const std::int32_t plainHeight = icon + 3 * metrics.lineSpacing + 4 + 2 * marginY;
    const std::int32_t available = screen.workHeight - 24;
    if (available > 0) {
        const std::int32_t rows = std::max(1, available / plainHeight);
        marginY += (available % plainHeight) / rows / 2;
    }
    const std::int32_t cellHeight = icon + 3 * metrics.lineSpacing + 4 + 2 * marginY;
    const ShellPoint iconInItem{(cellWidth - icon) / 2, marginY};
    const SlotGrid grid = ColumnsOfCells(screen, 12, cellWidth, cellHeight, iconInItem);

    // Saved cell corners (retrieveCustomPos): kept when inside the work area, moved to the cell
    // they fall in, and down the column from one another's cells.
    const ShellPoint area{screen.workX + 12, screen.workY + 12};
    const ShellPoint areaEnd{screen.workX + screen.workWidth - 12, screen.workY + screen.workHeight - 12};
    const IniFile places = ParseIniFile(ReadSettingsFile(UserConfigPath({"pcmanfm-qt", "lxqt", "desktop-items-0.conf"})).value_or(""));
    std::set<std::string> names;
    for (const XdgDesktopItem& file : *files) names.insert(file.fileName);
    std::map<std::string, RecordedPlace> saved;
    std::set<std::pair<std::int64_t, std::int64_t>> used;
    for (const auto& [name, corner] : SavedPlaces(places, "", "", true)) {
        if (!names.count(name) || corner.x < area.x || corner.y < area.y ||
            std::int64_t{corner.y} + cellHeight > areaEnd.y)
            continue;
        std::int64_t column = (std::int64_t{corner.x} - area.x) / cellWidth, row = (std::int64_t{corner.y} - area.y) / cellHeight;
        while (used.count({column, row}))
            if (area.y + (++row + 1) * std::int64_t{cellHeight} > areaEnd.y) ++column, row = 0;
        if (area.x + (column + 1) * std::int64_t{cellWidth} > areaEnd.x) continue;
        used.insert({column, row});
        saved[name].slot = Slot{static_cast<std::int32_t>(column), static_cast<std::int32_t>(row)};
    }
    const std::vector<std::size_t> fileOrder = NameOrder(*files, true);
    return ArrangeFolder({}, 0, std::move(*files), fileOrder, grid, icon, saved, screen);
}
