// XFCE 4.18/4.20 (xfdesktop), both read from the xfce4-desktop channel (xfconf's XML).
// Icons: volumes, Trash, File System and Home, then the files as GIO lists them, each into the
// next free slot of xfdesktop's grid (its icon size, its start corner); the saved slots of the
// 4.18 rc file or 4.20's icons.screen0.yaml (xfce_positions.h).
// Wallpaper: the backdrop of the primary monitor's connector and the shown workspace, with the
// system's channel and xfdesktop's own default picture behind the user's.
#include "desktop/xdg/desktop_places.h"
#include "desktop/xdg/environments/environment_readers.h"
#include "desktop/xdg/environments/xfce_positions.h"
#include "desktop/xdg/settings_files.h"
#include "desktop/xdg/xfconf.h"

#include <glib.h>

#include <algorithm>
#include <map>

namespace {

// What xfdesktop 4.18 shows for what is not set: its built-in picture, zoomed, over a dark blue.
constexpr const char* DefaultPicture = "/usr/share/backgrounds/xfce/xfce-shapes.svg";
constexpr Color DefaultColor{0.08235f, 0.13333f, 0.2f};

std::optional<Color> ColorOf(const XfconfProperty* property, float scale) {
    if (property == nullptr || property->values.size() < 3) return std::nullopt;
    float channels[3];
    for (int i = 0; i < 3; ++i) {
        const double value = g_ascii_strtod(property->values[static_cast<std::size_t>(i)].c_str(), nullptr);
        channels[i] = std::clamp(static_cast<float>(value) / scale, 0.0f, 1.0f);
    }
    return Color{channels[0], channels[1], channels[2]};
}

// rgba1/rgba2, four doubles 0..1. (The color1/color2 of before 4.12 are no longer read by
// xfdesktop, so not here either.)
Color BackdropColor(const std::vector<XfconfProperty>& properties, const std::string& base, int which) {
    return ColorOf(FindXfconfProperty(properties, base + "/rgba" + std::to_string(which)), 1.0f).value_or(DefaultColor);
}

// The folder of the backdrop in use: the screen's connector and workspace, else the first
// monitor that has one for that workspace (a connector named differently after a driver change).
std::string BackdropFolder(const std::vector<XfconfProperty>& properties, const ScreenFacts& screen) {
    int workspace = screen.workspace;
    const XfconfProperty* single = FindXfconfProperty(properties, "/backdrop/single-workspace-mode");
    if (single == nullptr || single->value == "true") {
        const XfconfProperty* number = FindXfconfProperty(properties, "/backdrop/single-workspace-number");
        workspace = number ? static_cast<int>(g_ascii_strtoll(number->value.c_str(), nullptr, 10)) : 0;
    }
    const std::string leaf = "/workspace" + std::to_string(workspace);
    if (!screen.connector.empty()) {
        const std::string exact = "/backdrop/screen0/monitor" + screen.connector + leaf;
        for (const XfconfProperty& property : properties)
            if (property.path.rfind(exact + "/", 0) == 0) return exact;
    }
    for (const XfconfProperty& property : properties) {
        if (property.path.rfind("/backdrop/screen0/monitor", 0) != 0) continue;
        const std::size_t at = property.path.find(leaf + "/");
        if (at != std::string::npos) return property.path.substr(0, at + leaf.size());
    }
    return {};
}

}  // namespace

std::optional<WallpaperSetting> ParseXfceDesktopChannel(std::string_view xml, const ScreenFacts& screen) {
    const std::vector<XfconfProperty> properties = ParseXfconfChannel(xml);
    const std::string base = BackdropFolder(properties, screen);
    if (base.empty()) return std::nullopt;
    WallpaperSetting setting;
    const XfconfProperty* image = FindXfconfProperty(properties, base + "/last-image");
    const XfconfProperty* style = FindXfconfProperty(properties, base + "/image-style");
    if (style == nullptr || style->value != "0")
        setting.path = image ? LocalPathFromUriOrPath(image->value) : std::string(DefaultPicture);
    const Color first = BackdropColor(properties, base, 1);
    setting.color = first;
    // 1 horizontal and 2 vertical gradients, drawn edge to edge; 0 solid, 3 transparent.
    const XfconfProperty* colorStyle = FindXfconfProperty(properties, base + "/color-style");
    const std::string shading = colorStyle ? colorStyle->value : "0";
    if (shading == "1" || shading == "2")
        setting.gradient = ColorGradient{first, BackdropColor(properties, base, 2),
                                         shading == "1" ? GradientDirection::Horizontal : GradientDirection::Vertical,
                                         GradientRamp::EdgeToEdge};
    return setting;
}

std::optional<WallpaperSetting> XfceWallpaper(const DesktopSession& session) {
    const ScreenFacts& screen = session.screen;
    const char* channel[] = {"xfce4", "xfconf", "xfce-perchannel-xml", "xfce4-desktop.xml"};
    if (auto xml = ReadSettingsFile(UserConfigPath({channel[0], channel[1], channel[2], channel[3]})))
        if (auto setting = ParseXfceDesktopChannel(*xml, screen)) return setting;
    // The system's defaults, then xfdesktop's own.
    for (const gchar* const* folder = g_get_system_config_dirs(); *folder != nullptr; ++folder) {
        gchar* path = g_build_filename(*folder, channel[0], channel[1], channel[2], channel[3], nullptr);
        std::optional<std::string> xml = ReadSettingsFile(path);
        g_free(path);
        if (xml)
            if (auto setting = ParseXfceDesktopChannel(*xml, screen)) return setting;
    }
    return WallpaperSetting{DefaultPicture, DefaultColor, std::nullopt};
}

// ---- Desktop icons ----------------------------------------------------------------------------

namespace {

// xfdesktop's slots: square cells of 1.9 icons plus padding. With a published work area, that
// area less 8 px on each side; without, the whole screen. As many cells as fit in it less 16 px,
// the rest shared out as spacing between cells and margins around them; the icon 27 px in (for
// 48 px; centred in the cell less its padding) and 6 px down.
SlotGrid XfceGrid(const ScreenFacts& screen, std::int32_t icon) {
    constexpr double Padding = 6.0;
    const double cell = 1.9 * icon + 2 * Padding;
    const bool published = screen.workAreaPublished;
    const std::int32_t originX = published ? screen.workX + 8 : 0, originY = published ? screen.workY + 8 : 0;
    const std::int32_t width = published ? screen.workWidth - 16 : screen.width;
    const std::int32_t height = published ? screen.workHeight - 16 : screen.height;
    const auto share = [cell](std::int32_t extent, std::int32_t& count, std::int32_t& spacing, std::int32_t& margin) {
        count = std::max(1, static_cast<std::int32_t>((extent - 16) / cell));
        const std::int32_t rest = static_cast<std::int32_t>(extent - count * cell);
        spacing = count > 1 ? (rest - 16) / (count - 1) : 1;
        margin = (rest - (count - 1) * spacing) / 2;
    };
    SlotGrid grid;
    std::int32_t spacingX = 0, spacingY = 0, marginX = 0, marginY = 0;
    share(width, grid.columns, spacingX, marginX);
    share(height, grid.rows, spacingY, marginY);
    grid.stepX = cell + spacingX;
    grid.stepY = cell + spacingY;
    grid.first = ShellPoint{originX + marginX + static_cast<std::int32_t>(Padding + ((cell - 2 * Padding) - icon) / 2),
                            originY + marginY + static_cast<std::int32_t>(Padding)};
    return grid;
}

bool Property(const std::vector<XfconfProperty>& properties, const char* path, bool fallback) {
    const XfconfProperty* property = FindXfconfProperty(properties, path);
    return property ? property->value == "true" : fallback;
}

// How each xfdesktop names an icon in its saved slots: 4.18 a file by its path, its own icons by
// their folders, Trash by its label and a volume by its name; 4.20 every icon by its file's path,
// else URI, and a volume by its UUID, else its folder.
struct SavedName {
    std::string before420;
    std::string since420;
};

// 4.18's slots: icons.screen0-WxH.rc, W x H the published work area less 16 (the screen without
// one), found as xfdesktop finds its files (the user's, else XDG_CONFIG_DIRS'), row= and col=.
// 4.20 migrating looks for both that and the work area's own size (taking the newer where both
// exist; here the first).
std::map<std::string, Slot> SlotsOfRcFile(const ScreenFacts& screen, bool since420) {
    const auto named = [](std::int32_t width, std::int32_t height) {
        return "icons.screen0-" + std::to_string(width) + "x" + std::to_string(height) + ".rc";
    };
    std::vector<std::string> names;
    if (screen.workAreaPublished || since420) names.push_back(named(screen.workWidth - 16, screen.workHeight - 16));
    if (!screen.workAreaPublished || since420) names.push_back(named(screen.workWidth, screen.workHeight));
    names.push_back("icons.screen0.rc");
    names.push_back("icons.screen.latest.rc");
    std::optional<std::string> text;
    for (std::size_t i = 0; i < names.size() && !text; ++i) text = ReadConfigFile({"xfce4", "desktop", names[i]});
    std::map<std::string, Slot> slots;
    for (const IniFile::Group& group : ParseIniFile(text.value_or("")).groups) {
        const std::string* row = group.Find("row");
        const std::string* column = group.Find("col");
        if (row == nullptr || column == nullptr) continue;
        if (const std::optional<Slot> slot = XfceSlot(g_ascii_strtoll(row->c_str(), nullptr, 10), g_ascii_strtoll(column->c_str(), nullptr, 10)))
            slots[group.name] = *slot;
    }
    return slots;
}

// Each item's saved slot. 4.20 (its icons.screen0.yaml, or its mark of having migrated a monitor)
// uses the config its positions file gives the primary monitor; without one, the 4.18 file once
// per monitor (slots within the grid), as 4.20 migrates it. 4.18 uses its file.
std::vector<std::optional<Slot>> SavedSlots(const ScreenFacts& screen, const std::vector<XfconfProperty>& properties,
                                            const SlotGrid& grid, const std::vector<SavedName>& names) {
    std::vector<std::optional<Slot>> slots(names.size());
    const auto fill = [&](const std::map<std::string, Slot>& saved, bool since420) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            const auto found = saved.find(since420 ? names[i].since420 : names[i].before420);
            if (found != saved.end()) slots[i] = found->second;
        }
    };
    const std::optional<std::string> yaml = ReadSettingsFile(UserConfigPath({"xfce4", "desktop", "icons.screen0.yaml"}));
    const XfconfProperty* migrated = FindXfconfProperty(properties, "/desktop-icons/file-icons/migrated-4.19");
    if (!yaml && migrated == nullptr) {
        fill(SlotsOfRcFile(screen, false), false);
        return slots;
    }
    const XfceMonitorRecord monitor{XfceMonitorIdentifier(screen.edid, screen.connector.empty() ? "X11-1" : screen.connector),
                                    screen.x, screen.y, screen.width, screen.height};
    const std::vector<XfcePositionConfig> configs = ParseXfcePositionConfigs(yaml.value_or("")).value_or(std::vector<XfcePositionConfig>{});
    if (const XfcePositionConfig* config = XfceConfigForMonitor(configs, monitor)) {
        fill(config->icons, true);
        return slots;
    }
    if (migrated != nullptr && std::find(migrated->values.begin(), migrated->values.end(), monitor.id) != migrated->values.end())
        return slots;
    std::map<std::string, Slot> old = SlotsOfRcFile(screen, true);
    std::erase_if(old, [&](const auto& entry) { return entry.second.column >= grid.columns || entry.second.row >= grid.rows; });
    fill(old, true);
    return slots;
}

}  // namespace

std::optional<IconArrangement> XfceDesktopIcons(const DesktopSession& session) {
    const ScreenFacts& screen = session.screen;
    std::optional<std::vector<XdgDesktopItem>> files = ReadDesktopFolder(XdgDesktopDirectory());
    if (!files) return std::nullopt;
    const std::vector<XfconfProperty> properties = ParseXfconfChannel(
        ReadConfigFile({"xfce4", "xfconf", "xfce-perchannel-xml", "xfce4-desktop.xml"}).value_or(""));
    // 0 no icons, 1 minimised windows (none on a desktop about to be covered), 2 files.
    const XfconfProperty* style = FindXfconfProperty(properties, "/desktop-icons/style");
    if (style != nullptr && style->value != "2") return IconArrangement{};
    const XfconfProperty* size = FindXfconfProperty(properties, "/desktop-icons/icon-size");
    const std::int32_t icon = size ? std::clamp<std::int32_t>(static_cast<std::int32_t>(g_ascii_strtoll(size->value.c_str(), nullptr, 10)), 16, 256) : 48;

    // Nothing is sorted: removable volumes, then Trash, File System and Home, then the files as
    // they arrive, each into the next free slot. xfdesktop asks GIO for the folder ten entries at
    // a time, and GIO hands each ten over last one first: the listing, reversed within each ten.
    std::vector<XdgDesktopItem> items;
    std::vector<SavedName> names;
    if (Property(properties, "/desktop-icons/file-icons/show-removable", true))
        for (XdgDesktopItem& volume : MountedVolumes()) {
            names.push_back({volume.displayName, !volume.uuid.empty() ? volume.uuid
                                                 : !volume.path.empty() ? volume.path : volume.displayName});
            items.push_back(std::move(volume));
        }
    if (Property(properties, "/desktop-icons/file-icons/show-trash", true)) {
        items.push_back(SpecialItem(SpecialPlace::Trash, "Trash"));
        names.push_back({"Trash", "trash:///"});  // it has no path: 4.18 names it by its label
    }
    if (Property(properties, "/desktop-icons/file-icons/show-filesystem", true)) {
        items.push_back(SpecialItem(SpecialPlace::FileSystem, "File System"));
        names.push_back({"/", "/"});
    }
    if (Property(properties, "/desktop-icons/file-icons/show-home", true)) {
        items.push_back(SpecialItem(SpecialPlace::Home, "Home"));
        names.push_back({items.back().path, items.back().path});
    }
    const std::size_t specials = items.size();
    for (XdgDesktopItem& file : *files) {
        names.push_back({file.path, file.path});
        items.push_back(std::move(file));
    }
    std::vector<std::size_t> order(items.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    constexpr std::size_t Batch = 10;  // xfdesktop's g_file_enumerator_next_files_async count
    const auto arrival = [&](std::size_t a, std::size_t b) {
        const std::size_t first = items[a].listed, second = items[b].listed;
        return first / Batch != second / Batch ? first < second : first > second;
    };
    std::sort(order.begin() + static_cast<std::ptrdiff_t>(specials), order.end(), arrival);

    SlotGrid grid = XfceGrid(screen, icon);
    // The start corner and direction: 1 fills rows first, 2 starts on the right, 4 at the bottom.
    if (const XfconfProperty* gravity = FindXfconfProperty(properties, "/desktop-icons/gravity")) {
        const std::int64_t bits = g_ascii_strtoll(gravity->value.c_str(), nullptr, 10);
        grid.rowMajor = (bits & 1) != 0;
        grid.fromRight = (bits & 2) != 0;
        grid.fromBottom = (bits & 4) != 0;
    }
    const std::vector<std::optional<Slot>> saved = SavedSlots(screen, properties, grid, names);
    std::vector<RecordedPlace> records(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) records[k].slot = saved[order[k]];
    const auto positions = PlaceIcons(grid, records, icon, ScreenSize{screen.width, screen.height});
    return Arranged(icon, std::move(items), order, positions);
}
