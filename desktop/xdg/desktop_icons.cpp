// Choosing the environment's arrangement, and what the arrangements share: the desktop's own
// icons for places, mounted volumes, and turning placed items into the view.
#include "desktop/xdg/desktop_icons.h"

#include <gio/gio.h>
#include <glib.h>

#include <algorithm>

std::optional<IconArrangement> ArrangeDesktopIcons(DesktopEnvironment environment, const ScreenFacts& screen) {
    switch (environment) {
        case DesktopEnvironment::Gnome: {
            const char* current = g_getenv("XDG_CURRENT_DESKTOP");
            gchar* lower = g_ascii_strdown(current ? current : "", -1);
            const bool ubuntu = std::string(lower).find("ubuntu") != std::string::npos;
            g_free(lower);
            return GnomeDesktopIcons(screen, ubuntu);
        }
        case DesktopEnvironment::Budgie: return BudgieDesktopIcons(screen);
        case DesktopEnvironment::Cinnamon: return NemoDesktopIcons(screen);
        case DesktopEnvironment::Mate: return CajaDesktopIcons(screen);
        case DesktopEnvironment::Plasma: return PlasmaDesktopIcons(screen);
        case DesktopEnvironment::Xfce: return XfceDesktopIcons(screen);
        case DesktopEnvironment::Lxqt: return LxqtDesktopIcons(screen);
        case DesktopEnvironment::Lxde: return LxdeDesktopIcons(screen);
        case DesktopEnvironment::Unknown: break;
    }
    return PlainDesktopIcons(screen);
}

XdgDesktopItem SpecialItem(SpecialPlace place, const std::string& label) {
    XdgDesktopItem item;
    item.displayName = label;
    item.isDirectory = true;
    switch (place) {
        case SpecialPlace::Home:
            item.path = g_get_home_dir();
            item.fileName = "home";
            item.icon.names = {"user-home", "folder"};
            break;
        case SpecialPlace::Trash:
            item.path = "trash:///";
            item.fileName = "trash";
            item.icon.names = {"user-trash", "folder"};
            break;
        case SpecialPlace::Computer:
            item.path = "computer:///";
            item.fileName = "computer";
            item.icon.names = {"computer", "folder"};
            break;
        case SpecialPlace::FileSystem:
            item.path = "/";
            item.fileName = "filesystem";
            item.icon.names = {"drive-harddisk", "folder"};
            break;
        case SpecialPlace::Network:
            item.path = "network:///";
            item.fileName = "network";
            item.icon.names = {"network-workgroup", "folder"};
            break;
        case SpecialPlace::Documents: {
            const std::string documents = XdgUserDirectory("DOCUMENTS");
            item.path = !documents.empty() ? documents : std::string(g_get_home_dir()) + "/Documents";
            item.fileName = "documents";
            item.icon.names = {"folder-documents", "folder"};
            break;
        }
    }
    return item;
}

std::vector<XdgDesktopItem> MountedVolumes() {
    std::vector<XdgDesktopItem> volumes;
    GVolumeMonitor* monitor = g_volume_monitor_get();
    if (monitor == nullptr) return volumes;
    GList* mounts = g_volume_monitor_get_mounts(monitor);
    for (GList* entry = mounts; entry != nullptr && volumes.size() < 64; entry = entry->next) {
        GMount* mount = G_MOUNT(entry->data);
        if (g_mount_is_shadowed(mount)) continue;
        XdgDesktopItem item;
        gchar* name = g_mount_get_name(mount);
        item.displayName = name ? name : "";
        item.fileName = item.displayName + ".volume";
        g_free(name);
        item.isDirectory = true;
        GVolume* volume = g_mount_get_volume(mount);
        gchar* uuid = volume ? g_volume_get_identifier(volume, G_VOLUME_IDENTIFIER_KIND_UUID) : nullptr;
        if (uuid == nullptr) uuid = g_mount_get_uuid(mount);
        item.uuid = uuid ? uuid : "";
        g_free(uuid);
        if (volume != nullptr) g_object_unref(volume);
        if (GFile* root = g_mount_get_root(mount)) {
            gchar* path = g_file_get_path(root);
            item.path = path ? path : "";
            g_free(path);
            g_object_unref(root);
        }
        if (GIcon* icon = g_mount_get_icon(mount)) {
            if (G_IS_THEMED_ICON(icon))
                for (const gchar* const* names = g_themed_icon_get_names(G_THEMED_ICON(icon)); names && *names; ++names)
                    item.icon.names.emplace_back(*names);
            g_object_unref(icon);
        }
        item.icon.names.emplace_back("drive-removable-media");
        volumes.push_back(std::move(item));
    }
    g_list_free_full(mounts, g_object_unref);
    g_object_unref(monitor);
    return volumes;
}

SlotGrid ColumnsOfCells(const ScreenFacts& screen, std::int32_t margin, std::int32_t cellWidth, std::int32_t cellHeight,
                        ShellPoint iconInCell) {
    SlotGrid grid;
    grid.stepX = cellWidth;
    grid.stepY = cellHeight;
    grid.columns = std::max(1, (screen.workWidth - 2 * margin) / cellWidth);
    grid.rows = std::max(1, (screen.workHeight - 2 * margin) / cellHeight);
    grid.first = ShellPoint{screen.workX + margin + iconInCell.x, screen.workY + margin + iconInCell.y};
    return grid;
}

IconArrangement Arranged(std::int32_t iconSize, std::vector<XdgDesktopItem> items, const std::vector<std::size_t>& order,
                         const std::vector<std::optional<ShellPoint>>& positions) {
    IconArrangement arrangement;
    arrangement.iconSize = iconSize;
    for (std::size_t k = 0; k < order.size() && k < positions.size(); ++k)
        if (positions[k]) arrangement.view.push_back(XdgViewItem{order[k], *positions[k]});
    arrangement.items = std::move(items);
    return arrangement;
}

// ---- No environment named ----

std::optional<IconArrangement> PlainDesktopIcons(const ScreenFacts& screen) {
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
