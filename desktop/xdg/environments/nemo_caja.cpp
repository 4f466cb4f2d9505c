// The nemo/caja family's shared reading: which items, where recorded, in which order.
#include "desktop/xdg/environments/nemo_caja.h"

#include "desktop/xdg/desktop_places.h"
#include "desktop/xdg/gsettings_reader.h"

#include <glib.h>

#include <cstdio>

namespace nemo_caja {
namespace {

std::optional<ShellPoint> ParsePoint(const std::string* text) {
    int x = 0, y = 0;
    if (text == nullptr || std::sscanf(text->c_str(), "%d,%d", &x, &y) != 2) return std::nullopt;
    return ShellPoint{x, y};
}

// A desktop icon for a place, labelled as the user renamed it, with its recorded position.
std::optional<std::size_t> AddPlace(Shown& shown, const GSettingsReader& desktop, const IniFile& metadata,
                                    const Flavour& flavour, SpecialPlace place, const char* key, bool shownByDefault,
                                    const std::string& label) {
    if (!desktop.Boolean((std::string(key) + "-icon-visible").c_str()).value_or(shownByDefault)) return std::nullopt;
    const std::string custom = desktop.String((std::string(key) + "-icon-name").c_str()).value_or("");
    XdgDesktopItem item = SpecialItem(place, custom.empty() ? label : custom);
    item.recordedPosition = ParsePoint(metadata.Find(key, flavour.positionName));
    if (const std::string* monitor = metadata.Find(key, "monitor"))
        item.recordedMonitor = static_cast<int>(g_ascii_strtoll(monitor->c_str(), nullptr, 10));
    shown.items.push_back(std::move(item));
    return shown.items.size() - 1;
}

}  // namespace

std::optional<Shown> ReadShown(const Flavour& flavour, const IniFile& metadata) {
    std::optional<std::vector<XdgDesktopItem>> files = ReadDesktopFolder(XdgDesktopDirectory(), flavour.positionKey);
    if (!files) return std::nullopt;
    const GSettingsReader desktop(flavour.desktopSchema);
    Shown shown;
    gchar* home = g_strdup_printf(flavour.homeLabel, g_get_user_name());
    shown.computer = AddPlace(shown, desktop, metadata, flavour, SpecialPlace::Computer, "computer",
                              flavour.computerDefault, "Computer");
    shown.home = AddPlace(shown, desktop, metadata, flavour, SpecialPlace::Home, "home", flavour.homeDefault, home);
    g_free(home);
    shown.trash = AddPlace(shown, desktop, metadata, flavour, SpecialPlace::Trash, "trash", flavour.trashDefault, "Trash");
    if (desktop.Boolean("volumes-visible").value_or(flavour.volumesDefault))
        for (XdgDesktopItem& volume : MountedVolumes()) {
            volume.recordedPosition = ParsePoint(metadata.Find(volume.fileName, flavour.positionName));
            shown.items.push_back(std::move(volume));
            shown.volumes.push_back(shown.items.size() - 1);
        }
    const std::size_t first = shown.items.size();
    for (const std::size_t index : NameOrder(*files, false)) shown.files.push_back(first + index);
    for (XdgDesktopItem& file : *files) shown.items.push_back(std::move(file));
    return shown;
}

std::vector<std::size_t> SortOrder(const Shown& shown, bool trashFirst) {
    std::vector<std::size_t> order;
    for (const auto& place : {shown.computer, shown.home})
        if (place) order.push_back(*place);
    order.insert(order.end(), shown.volumes.begin(), shown.volumes.end());
    if (trashFirst && shown.trash) order.push_back(*shown.trash);
    order.insert(order.end(), shown.files.begin(), shown.files.end());
    if (!trashFirst && shown.trash) order.push_back(*shown.trash);
    return order;
}

std::int32_t Pixels(int pangoUnits) { return (pangoUnits + PANGO_SCALE / 2) / PANGO_SCALE; }

ShellPoint InWindow(const ScreenFacts& screen, ShellPoint canvas) {
    return ShellPoint{screen.workX + canvas.x, screen.workY + canvas.y};
}

IniFile ReadMetadata(const Flavour& flavour) {
    return ParseIniFile(ReadSettingsFile(UserConfigPath({flavour.metadataFile})).value_or(""));
}

}  // namespace nemo_caja
