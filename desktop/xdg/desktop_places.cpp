// The desktop's own icons for places, and the mounted volumes.
#include "desktop/xdg/desktop_places.h"

#include <gio/gio.h>
#include <glib.h>

namespace {

// Each place's item name, location (empty: the user's own folder, worked out when asked) and icon.
struct PlaceFacts {
    const char* fileName;
    const char* path;
    const char* icon;
};

PlaceFacts FactsOf(SpecialPlace place) {
    switch (place) {
        case SpecialPlace::Home: return {"home", "", "user-home"};
        case SpecialPlace::Trash: return {"trash", "trash:///", "user-trash"};
        case SpecialPlace::Computer: return {"computer", "computer:///", "computer"};
        case SpecialPlace::FileSystem: return {"filesystem", "/", "drive-harddisk"};
        case SpecialPlace::Network: return {"network", "network:///", "network-workgroup"};
        case SpecialPlace::Documents: return {"documents", "", "folder-documents"};
    }
    return {"home", "", "user-home"};
}

std::string UserFolderOf(SpecialPlace place) {
    if (place != SpecialPlace::Documents) return g_get_home_dir();
    const std::string documents = XdgUserDirectory("DOCUMENTS");
    return !documents.empty() ? documents : std::string(g_get_home_dir()) + "/Documents";
}

}  // namespace

XdgDesktopItem SpecialItem(SpecialPlace place, const std::string& label) {
    const PlaceFacts facts = FactsOf(place);
    XdgDesktopItem item;
    item.displayName = label;
    item.isDirectory = true;
    item.path = facts.path[0] != '\0' ? std::string(facts.path) : UserFolderOf(place);
    item.fileName = facts.fileName;
    item.icon.names = {facts.icon, "folder"};
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
