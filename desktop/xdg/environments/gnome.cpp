// GNOME, with Ubuntu's and Budgie's flavours.
// Icons: none unless the desktop-icons extension (DING) is active, which it is by default on
// Ubuntu. DING lays a grid over the primary monitor's work area, shows Home and Trash before the
// files, and keeps positions in the files' metadata (gvfs). Budgie's desktop view is off unless
// switched on, and flows its items down the primary monitor.
// Wallpaper: org.gnome.desktop.background (gnome_background.h), drawn as mutter draws it.
#include "desktop/xdg/desktop_places.h"
#include "desktop/xdg/environments/environment_readers.h"
#include "desktop/xdg/environments/gnome_background.h"
#include "desktop/xdg/gsettings_reader.h"

#include <glib.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr const char* DingUuid = "ding@rastersoft.com";

bool Contains(const std::optional<std::vector<std::string>>& list, const char* value) {
    return list && std::find(list->begin(), list->end(), value) != list->end();
}

bool DingActive(bool ubuntu) {
    const GSettingsReader shell("org.gnome.shell");
    const bool disabled = Contains(shell.StringList("disabled-extensions"), DingUuid);
    // Ubuntu's session runs it as part of the desktop; elsewhere the user enables it.
    if (ubuntu) return !disabled;
    return Contains(shell.StringList("enabled-extensions"), DingUuid) && !disabled &&
           !shell.Boolean("disable-user-extensions").value_or(false);
}

// DING's sizes by its icon-size setting: the icon, and the item it sits in.
struct DingSize {
    std::int32_t icon, width, height;
};
DingSize DingSizeOf(const std::string& name) {
    if (name == "tiny") return {36, 70, 80};
    if (name == "small") return {48, 90, 90};
    if (name == "large") return {96, 130, 138};
    return {64, 120, 106};  // "standard"
}

std::vector<std::string> ExtensionSchemaFolders(const char* uuid) {
    std::vector<std::string> folders{std::string(g_get_user_data_dir()) + "/gnome-shell/extensions/" + uuid + "/schemas"};
    for (const gchar* const* data = g_get_system_data_dirs(); *data != nullptr; ++data)
        folders.push_back(std::string(*data) + "/gnome-shell/extensions/" + uuid + "/schemas");
    return folders;
}

// ---- Icons --------------------------------------------------------------------------------------

std::optional<IconArrangement> DingDesktopIcons(const ScreenFacts& screen, bool ubuntu) {
    std::optional<std::vector<XdgDesktopItem>> files =
        ReadDesktopFolder(XdgDesktopDirectory(), "metadata::nautilus-icon-position");
    if (!files) return std::nullopt;
    if (!DingActive(ubuntu)) return IconArrangement{};  // plain GNOME shows no desktop icons

    const GSettingsReader ding("org.gnome.shell.extensions.ding", ExtensionSchemaFolders(DingUuid));
    const DingSize size = DingSizeOf(ding.String("icon-size").value_or("standard"));
    std::vector<XdgDesktopItem> items;
    if (ding.Boolean("show-home").value_or(true)) items.push_back(SpecialItem(SpecialPlace::Home, "Home"));
    if (ding.Boolean("show-trash").value_or(true)) items.push_back(SpecialItem(SpecialPlace::Trash, "Trash"));
    for (XdgDesktopItem& file : *files) {
        // A launcher the user has not allowed to run shows its file name.
        if (g_str_has_suffix(file.fileName.c_str(), ".desktop") && !(file.trusted && file.executable)) {
            gchar* shown = g_filename_display_name(file.fileName.c_str());
            file.displayName = shown ? shown : file.fileName;
            g_free(shown);
        }
        items.push_back(std::move(file));
    }
    if (ding.Boolean("show-volumes").value_or(true))
        for (XdgDesktopItem& volume : MountedVolumes()) items.push_back(std::move(volume));

    // The grid over the work area: as many cells as fit with 2 px around each item, stretched to
    // share out the rest; each item 2 px inside its cell, its icon centred at its top.
    constexpr std::int32_t Spacing = 2;
    const std::int32_t width = std::max(screen.workWidth, 1), height = std::max(screen.workHeight, 1);
    SlotGrid grid;
    grid.columns = std::max(1, width / (size.width + 4 * Spacing));
    grid.rows = std::max(1, height / (size.height + 4 * Spacing));
    grid.spanX = width;
    grid.spanY = height;
    const std::int32_t cellWidth = width / grid.columns, cellHeight = height / grid.rows;
    grid.stepX = cellWidth;
    grid.stepY = cellHeight;
    grid.first = ShellPoint{screen.workX + Spacing + (cellWidth - 2 * Spacing - size.icon) / 2, screen.workY + Spacing};
    const std::string corner = ding.String("start-corner").value_or("top-left");
    grid.fromRight = corner.find("right") != std::string::npos;
    grid.fromBottom = corner.find("bottom") != std::string::npos;

    const bool arranged = ding.Boolean("keep-arranged").value_or(false);
    std::vector<std::size_t> order(items.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    if (arranged) order = NameOrder(items, false);
    std::vector<RecordedPlace> records;
    std::vector<std::size_t> shown;
    for (const std::size_t index : order) {
        RecordedPlace record;
        const std::optional<ShellPoint>& saved = items[index].recordedPosition;
        if (!arranged && saved) {
            // The item's top-left in screen coordinates names its cell in the primary monitor's
            // grid; an item saved on another monitor is shown there, not here.
            const std::int64_t x = std::int64_t{saved->x} - screen.x - screen.workX;
            const std::int64_t y = std::int64_t{saved->y} - screen.y - screen.workY;
            if (x < 0 || y < 0 || x >= width || y >= height) continue;
            record.slot = Slot{static_cast<std::int32_t>(x / cellWidth), static_cast<std::int32_t>(y / cellHeight)};
        }
        records.push_back(record);
        shown.push_back(index);
    }
    const auto positions = PlaceIcons(grid, records, size.icon, ScreenSize{screen.width, screen.height});
    return Arranged(size.icon, std::move(items), shown, positions);
}

std::optional<IconArrangement> BudgieDesktopIcons(const ScreenFacts& screen) {
    std::optional<std::vector<XdgDesktopItem>> files = ReadDesktopFolder(XdgDesktopDirectory());
    if (!files) return std::nullopt;
    // Older releases kept the settings under their former name.
    const char* current = "org.buddiesofbudgie.budgie-desktop-view";
    const GSettingsReader view(GSettingsReader(current).Installed() ? current : "us.getsol.budgie-desktop-view");
    if (!view.Boolean("show").value_or(false)) return IconArrangement{};

    const std::string sizeName = view.String("icon-size").value_or("normal");
    const std::int32_t icon = sizeName == "small" ? 32 : sizeName == "large" ? 64 : sizeName == "massive" ? 96 : 48;
    const std::int32_t itemWidth = (sizeName == "large" ? 150 : sizeName == "massive" ? 160 : 90) + 2 * 10;
    const std::int32_t itemHeight = icon + 70;
    std::vector<XdgDesktopItem> items;
    if (view.Boolean("show-home-folder").value_or(true)) items.push_back(SpecialItem(SpecialPlace::Home, "Home"));
    if (view.Boolean("show-trash-folder").value_or(true)) items.push_back(SpecialItem(SpecialPlace::Trash, "Trash"));
    if (view.Boolean("show-active-mounts").value_or(false))
        for (XdgDesktopItem& volume : MountedVolumes()) items.push_back(std::move(volume));
    const std::size_t specials = items.size();
    const std::vector<std::size_t> fileOrder = NameOrder(*files, true);
    for (XdgDesktopItem& file : *files) items.push_back(std::move(file));
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < specials; ++i) order.push_back(i);
    for (const std::size_t index : fileOrder) order.push_back(specials + index);

    // Items flow down the primary monitor's work area in columns, the icon centred at the top.
    SlotGrid grid;
    grid.rows = std::max(1, screen.workHeight / itemHeight);
    grid.columns = std::max(1, screen.workWidth / itemWidth);
    grid.stepX = itemWidth;
    grid.stepY = itemHeight;
    grid.first = ShellPoint{screen.workX + (itemWidth - icon) / 2, screen.workY + 10};
    const auto positions = PlaceIcons(grid, std::vector<RecordedPlace>(order.size()), icon, ScreenSize{screen.width, screen.height});
    return Arranged(icon, std::move(items), order, positions);
}

}  // namespace

std::optional<IconArrangement> GnomeDesktopIcons(const DesktopSession& session) {
    return session.budgie ? BudgieDesktopIcons(session.screen) : DingDesktopIcons(session.screen, session.ubuntu);
}

// ---- Wallpaper ----------------------------------------------------------------------------------

// GNOME Shell draws through mutter: a two-texel gradient stretched, slideshows, the dark picture.
// Budgie's window manager: mutter's gradient, no dark picture, and a slideshow is no picture.
std::optional<WallpaperSetting> GnomeWallpaper(const DesktopSession& session) {
    if (session.budgie)
        return GnomeStyleBackground("org.gnome.desktop.background",
                                    {false, false, false, GradientRamp::MiddleHalf, 0, session.screen});
    return GnomeStyleBackground("org.gnome.desktop.background",
                                {false, true, true, GradientRamp::MiddleHalf, session.now, session.screen});
}

std::optional<WallpaperSetting> GnomeWallpaperTheUserSet(const DesktopSession& session) {
    return GnomeStyleBackground("org.gnome.desktop.background",
                                {true, true, true, GradientRamp::MiddleHalf, session.now, session.screen});
}
