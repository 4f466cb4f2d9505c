// KDE Plasma 5/6, both read from the desktop containment on the primary screen in the current
// activity (plasma-org.kde.plasma.desktop-appletsrc).
// Icons: only the folder view layout shows any: the folder by name, folders first, on Plasma's
// grid of the icon size it is set to, with the positions it saved per screen size.
// Wallpaper: an empty image means the default wallpaper package, and a package folder shows its
// image sized best for the screen; the plain colour plugin its colour.
#include "desktop/xdg/environments/environment_readers.h"
#include "desktop/xdg/settings_files.h"

#include <glib.h>

#include <cmath>
#include <algorithm>
#include <map>

namespace {

struct Containment {
    std::string plugin;
    std::string activity;
    int screen = -1;
    bool desktop = true;  // a panel or another non-desktop containment is not
    PlasmaWallpaperRecord wallpaper{"org.kde.image", {}, std::nullopt};
    bool colorPluginSet = false;
    std::vector<std::pair<std::string, std::string>> general;  // the folder view's settings
};

// "Containments][7][Wallpaper][org.kde.image][General" into ("7", "Wallpaper][org.kde.image][General").
bool SplitContainmentGroup(std::string_view group, std::string_view& id, std::string_view& rest) {
    constexpr std::string_view prefix = "Containments][";
    if (group.rfind(prefix, 0) != 0) return false;
    const std::size_t close = group.find(']', prefix.size());
    id = group.substr(prefix.size(), close == std::string_view::npos ? std::string_view::npos : close - prefix.size());
    rest = close == std::string_view::npos ? std::string_view() : group.substr(std::min(group.size(), close + 2));
    return !id.empty();
}


// The desktop containment the primary screen shows in the activity.
std::optional<Containment> FindDesktopContainment(std::string_view text, std::string_view activity) {
    const IniFile file = ParseIniFile(text);
    // Looked up by id in a map: a file with many containments costs one pass, not one per id.
    std::map<std::string, Containment, std::less<>> containments;
    std::vector<std::string> order;
    for (const IniFile::Group& group : file.groups) {
        std::string_view id, rest;
        if (!SplitContainmentGroup(group.name, id, rest)) continue;
        auto [entry, added] = containments.try_emplace(std::string(id));
        if (added) order.emplace_back(id);
        Containment& containment = entry->second;
        for (const auto& [key, value] : group.entries) {
            if (rest.empty()) {
                if (key == "plugin") {
                    containment.plugin = value;
                    containment.desktop = value == "org.kde.plasma.folder" || value == "org.kde.desktopcontainment";
                } else if (key == "activityId") {
                    containment.activity = value;
                } else if (key == "lastScreen") {
                    containment.screen = static_cast<int>(g_ascii_strtoll(value.c_str(), nullptr, 10));
                } else if (key == "wallpaperplugin") {
                    containment.wallpaper.plugin = value;
                }
            } else if (rest == "Wallpaper][org.kde.image][General") {
                if (key == "Image") containment.wallpaper.image = value;
                if (key == "Color" && !containment.colorPluginSet) containment.wallpaper.color = ParseColorText(value);
            } else if (rest == "General") {
                containment.general.emplace_back(key, value);
            } else if (rest == "Wallpaper][org.kde.color][General" && key == "Color") {
                containment.colorPluginSet = true;
                containment.wallpaper.color = ParseColorText(value);
            }
        }
    }
    // The primary screen's desktop in the current activity; failing that, the primary screen's
    // desktop in any activity, then any desktop.
    const Containment* best = nullptr;
    int bestRank = -1;
    for (const std::string& id : order) {
        const Containment& containment = containments.find(id)->second;
        if (!containment.desktop || containment.plugin.empty()) continue;
        const int rank = (containment.screen == 0 ? 2 : 0) + (!activity.empty() && containment.activity == activity ? 1 : 0);
        if (rank > bestRank) {
            best = &containment;
            bestRank = rank;
        }
    }
    if (best == nullptr) return std::nullopt;
    return *best;
}

}  // namespace

std::optional<PlasmaWallpaperRecord> ParsePlasmaAppletsrc(std::string_view text, std::string_view activity) {
    const std::optional<Containment> desktop = FindDesktopContainment(text, activity);
    if (!desktop) return std::nullopt;
    PlasmaWallpaperRecord record = desktop->wallpaper;
    // The colour plugin's own colour when it draws (its default is Plasma's blue); the image
    // plugin's fill colour (default black) otherwise.
    if (record.plugin == "org.kde.color" && !desktop->colorPluginSet) record.color = ParseColorText("#1d99f3");
    if (record.plugin != "org.kde.color" && !record.color) record.color = Color{0.0f, 0.0f, 0.0f};
    return record;
}

namespace {

// Plasma's preference among a package's sizes: near the screen's aspect ratio first, then the
// width closest to the screen's, scaling up costing twice as much as scaling down.
double SizeDistance(int width, int height, const ScreenFacts& screen) {
    if (screen.width <= 0 || screen.height <= 0) return -static_cast<double>(width) * height;  // largest
    const double aspect = static_cast<double>(width) / height;
    const double screenAspect = static_cast<double>(screen.width) / screen.height;
    double delta = static_cast<double>(width - screen.width);
    delta = delta >= 0.0 ? delta : -delta * 2.0;
    return std::fabs(aspect - screenAspect) * 25000.0 + delta;
}

std::string BestImageIn(const std::string& folder, const ScreenFacts& screen) {
    GDir* directory = g_dir_open(folder.c_str(), 0, nullptr);
    if (directory == nullptr) return {};
    std::string best;
    double bestDistance = 0.0;
    int entries = 0;
    while (const gchar* name = g_dir_read_name(directory)) {
        if (++entries > 1000) break;  // a package holds a handful of sizes
        int width = 0, height = 0;
        char dot = 0;
        if (std::sscanf(name, "%dx%d%c", &width, &height, &dot) != 3 || dot != '.' || width <= 0 || height <= 0 ||
            width > 100000 || height > 100000)
            continue;
        const double distance = SizeDistance(width, height, screen);
        if (best.empty() || distance < bestDistance || (distance == bestDistance && name < best)) {
            best = name;
            bestDistance = distance;
        }
    }
    g_dir_close(directory);
    return best.empty() ? std::string() : folder + "/" + best;
}

// A dark colour scheme as Plasma judges it: the window colour's qGray below 192.
bool DarkColorScheme() {
    const std::optional<std::string> background = IniValue(ReadConfigFile({"kdeglobals"}), "Colors:Window", "BackgroundNormal");
    const std::optional<Color> color = background ? ParseColorText(*background) : std::nullopt;
    if (!color) return false;  // Breeze, light
    const auto channel = [](float value) { return static_cast<int>(std::lround(value * 255.0f)); };
    return (channel(color->r) * 11 + channel(color->g) * 16 + channel(color->b) * 5) / 32 < 192;
}

// The folder of a wallpaper package by name, in the user's data folder or the system's.
std::string PackageFolder(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") return {};
    std::vector<std::string> roots{g_get_user_data_dir()};
    for (const gchar* const* data = g_get_system_data_dirs(); *data != nullptr; ++data) roots.emplace_back(*data);
    for (const std::string& root : roots) {
        const std::string folder = root + "/wallpapers/" + name;
        if (g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR)) return folder;
    }
    return {};
}

// The wallpaper an empty Image shows: the look-and-feel package's default, else the Plasma
// theme's (plasmarc's defaultWallpaperTheme, "Next" when unset).
std::string DefaultPackage() {
    const std::optional<std::string> chosen = IniValue(ReadConfigFile({"kdeglobals"}), "KDE", "LookAndFeelPackage");
    const std::string lookAndFeel = chosen && !chosen->empty() ? *chosen : "org.kde.breeze.desktop";
    if (lookAndFeel.find('/') == std::string::npos && lookAndFeel != "..") {
        std::vector<std::string> roots{g_get_user_data_dir()};
        for (const gchar* const* data = g_get_system_data_dirs(); *data != nullptr; ++data) roots.emplace_back(*data);
        for (const std::string& root : roots) {
            const std::optional<std::string> image = IniValue(
                ReadSettingsFile(root + "/plasma/look-and-feel/" + lookAndFeel + "/contents/defaults"), "Wallpaper", "Image");
            if (image) {
                const std::string folder = PackageFolder(*image);
                if (!folder.empty()) return folder;
            }
        }
    }
    const std::optional<std::string> theme = IniValue(ReadConfigFile({"plasmarc"}), "Wallpaper", "defaultWallpaperTheme");
    return PackageFolder(theme && !theme->empty() ? *theme : "Next");
}

// The current activity as the activity manager records it.
std::string CurrentActivity() {
    return IniValue(ReadSettingsFile(UserConfigPath({"kactivitymanagerdrc"})), "main", "currentActivity").value_or("");
}

}  // namespace

std::string PlasmaPackagePicture(std::string folder, const ScreenFacts& screen, bool dark) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (dark) {
        const std::string picture = BestImageIn(folder + "/contents/images_dark", screen);
        if (!picture.empty()) return picture;
    }
    return BestImageIn(folder + "/contents/images", screen);
}

std::optional<WallpaperSetting> PlasmaWallpaper(const DesktopSession& session) {
    const ScreenFacts& screen = session.screen;
    const std::optional<std::string> text = ReadSettingsFile(UserConfigPath({"plasma-org.kde.plasma.desktop-appletsrc"}));
    if (!text) return std::nullopt;
    const std::optional<PlasmaWallpaperRecord> record = ParsePlasmaAppletsrc(*text, CurrentActivity());
    if (!record) return std::nullopt;
    WallpaperSetting setting;
    setting.color = record->color;
    if (record->plugin != "org.kde.image") return setting;
    std::string picture = record->image.empty() ? DefaultPackage() : LocalPathFromUriOrPath(record->image);
    if (!picture.empty() && g_file_test(picture.c_str(), G_FILE_TEST_IS_DIR))
        picture = PlasmaPackagePicture(picture, screen, DarkColorScheme());
    setting.path = picture;
    return setting;
}

// ---- Desktop icons ----------------------------------------------------------------------------

namespace {

// The JSON Plasma 5.25 and later keeps positions in: {"WxH": ["rows", "perRow", url, row, column,
// ...], ...}; older versions keep the bare list. The list for the screen size, as strings.
std::vector<std::string> PositionList(const std::string& value, const ScreenFacts& screen) {
    std::vector<std::string> strings;
    std::string text = value;
    const std::string key = "\"" + std::to_string(screen.width) + "x" + std::to_string(screen.height) + "\"";
    if (!text.empty() && text.front() == '{') {
        const std::size_t at = text.find(key);
        if (at == std::string::npos) return strings;  // laid out afresh for another size
        const std::size_t open = text.find('[', at);
        const std::size_t close = text.find(']', open == std::string::npos ? at : open);
        if (open == std::string::npos || close == std::string::npos) return strings;
        text = text.substr(open + 1, close - open - 1);
        // JSON strings, with their escapes.
        for (std::size_t i = 0; i < text.size() && strings.size() < 300000; ++i) {
            if (text[i] != '"') continue;
            std::string item;
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size()) ++i;
                item += text[i];
            }
            strings.push_back(std::move(item));
        }
        return strings;
    }
    // KConfig's list: commas separate, "\\," is a comma.
    std::string item;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) item += text[++i];
        else if (text[i] == ',') strings.push_back(std::move(item)), item.clear();
        else item += text[i];
    }
    if (!item.empty()) strings.push_back(std::move(item));
    return strings;
}

std::string GeneralValue(const Containment& desktop, const char* key, const char* fallback) {
    for (auto entry = desktop.general.rbegin(); entry != desktop.general.rend(); ++entry)
        if (entry->first == key) return entry->second;
    return fallback;
}

}  // namespace

std::optional<IconArrangement> PlasmaDesktopIcons(const DesktopSession& session) {
    const ScreenFacts& screen = session.screen;
    std::optional<std::vector<XdgDesktopItem>> files = ReadDesktopFolder(XdgDesktopDirectory());
    if (!files) return std::nullopt;
    const std::optional<std::string> text = ReadSettingsFile(UserConfigPath({"plasma-org.kde.plasma.desktop-appletsrc"}));
    // A fresh Plasma desktop is a folder view of the desktop folder.
    Containment desktop;
    desktop.plugin = "org.kde.plasma.folder";
    if (text)
        if (std::optional<Containment> found = FindDesktopContainment(*text, CurrentActivity())) desktop = *found;
    // Only the folder view layout shows icons; the plain "Desktop" layout shows none.
    if (desktop.plugin != "org.kde.plasma.folder") return IconArrangement{};

    constexpr std::int32_t Sizes[] = {22, 32, 48, 64, 96, 128, 256};
    const long sizeIndex = std::clamp<long>(g_ascii_strtoll(GeneralValue(desktop, "iconSize", "3").c_str(), nullptr, 10), 0, 6);
    const std::int32_t icon = Sizes[sizeIndex];
    // Cells as the folder view sizes them at the default font: room for the icon and a label of
    // two lines, the space left over shared among the cells.
    constexpr std::int32_t SmallSpacing = 4, LargeSpacing = 8, LineHeight = 18;
    const std::int32_t baseWidth = std::max(icon + 2 * LargeSpacing + 2 * SmallSpacing, LineHeight * 6);
    const std::int32_t baseHeight = icon + 2 * LineHeight + 4 * SmallSpacing;
    SlotGrid grid;
    grid.columns = std::max(1, screen.workWidth / baseWidth);
    grid.rows = std::max(1, screen.workHeight / baseHeight);
    const std::int32_t cellWidth = baseWidth + (screen.workWidth - grid.columns * baseWidth) / grid.columns;
    grid.stepX = cellWidth;
    grid.stepY = baseHeight + (screen.workHeight - grid.rows * baseHeight) / grid.rows;
    grid.first = ShellPoint{screen.workX + (cellWidth - icon) / 2, screen.workY + SmallSpacing};
    grid.rowMajor = GeneralValue(desktop, "arrangement", "0") != "1";
    grid.fromRight = GeneralValue(desktop, "alignment", "0") == "1";

    const std::vector<std::size_t> order = NameOrder(*files, GeneralValue(desktop, "sortDirsFirst", "true") != "false");
    std::vector<RecordedPlace> records(order.size());
    if (GeneralValue(desktop, "sortMode", "0") == "-1") {
        // Manual positions: after the two counts, (url, row, column) per item, for rows mode.
        const std::vector<std::string> list = PositionList(GeneralValue(desktop, "positions", ""), screen);
        std::map<std::string, Slot> slots;
        for (std::size_t i = 2; i + 2 < list.size(); i += 3) {
            const long stripe = g_ascii_strtoll(list[i + 1].c_str(), nullptr, 10);
            const long place = g_ascii_strtoll(list[i + 2].c_str(), nullptr, 10);
            if (stripe < 0 || place < 0 || stripe > 100000 || place > 100000) continue;
            const std::string name = list[i].rfind("desktop:/", 0) == 0 ? list[i].substr(9) : list[i];
            slots[name] = grid.rowMajor ? Slot{static_cast<std::int32_t>(place), static_cast<std::int32_t>(stripe)}
                                        : Slot{static_cast<std::int32_t>(stripe), static_cast<std::int32_t>(place)};
        }
        for (std::size_t k = 0; k < order.size(); ++k)
            if (auto found = slots.find((*files)[order[k]].fileName); found != slots.end()) records[k].slot = found->second;
    }
    const auto positions = PlaceIcons(grid, records, icon, ScreenSize{screen.width, screen.height});
    return Arranged(icon, std::move(*files), order, positions);
}
