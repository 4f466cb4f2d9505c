// The desktops of nemo (Cinnamon) and caja (MATE), both descended from one file manager: file
// positions in the files' metadata ("x,y", the icon's top-left), the desktop's own icons (Home,
// Computer, Trash, volumes) per their settings with positions in a key file of their own, and
// the rest in columns from the top-left corner.
#include "desktop/xdg/desktop_icons.h"
#include "desktop/xdg/gsettings_reader.h"
#include "desktop/xdg/settings_files.h"

#include <glib.h>

#include <cstdio>

namespace {

// What differs between the two.
struct Flavour {
    const char* desktopSchema;      // the *-icon-visible keys
    const char* positionKey;        // per-file metadata
    const char* metadataFile;       // the desktop's own icons' positions, under ~/.config
    const char* positionName;       // their key in that file
    bool computerDefault, homeDefault, trashDefault, volumesDefault;
    bool monitorRecorded;           // positions are per monitor (nemo), else of the whole screen
};

constexpr Flavour Nemo{"org.nemo.desktop", "metadata::nemo-icon-position", "nemo/desktop-metadata",
                       "nemo-icon-position", false, false, false, false, true};
constexpr Flavour Caja{"org.mate.caja.desktop", "metadata::caja-icon-position", "caja/desktop-metadata",
                       "caja-icon-position", true, true, true, true, false};

std::optional<ShellPoint> ParsePoint(const std::string* text) {
    int x = 0, y = 0;
    if (text == nullptr || std::sscanf(text->c_str(), "%d,%d", &x, &y) != 2) return std::nullopt;
    return ShellPoint{x, y};
}

// A desktop icon for a place, labelled as the user renamed it, with its recorded position.
void AddPlace(std::vector<XdgDesktopItem>& items, const GSettingsReader& desktop, const IniFile& metadata,
              const Flavour& flavour, SpecialPlace place, const char* key, const char* group, bool shownByDefault,
              const std::string& label) {
    if (!desktop.Boolean((std::string(key) + "-icon-visible").c_str()).value_or(shownByDefault)) return;
    const std::string custom = desktop.String((std::string(key) + "-icon-name").c_str()).value_or("");
    XdgDesktopItem item = SpecialItem(place, custom.empty() ? label : custom);
    item.recordedPosition = ParsePoint(metadata.Find(group, flavour.positionName));
    if (const std::string* monitor = metadata.Find(group, "monitor"))
        item.recordedMonitor = static_cast<int>(g_ascii_strtoll(monitor->c_str(), nullptr, 10));
    items.push_back(std::move(item));
}

std::optional<IconArrangement> Arrange(const Flavour& flavour, const ScreenFacts& screen, bool shown) {
    std::optional<std::vector<XdgDesktopItem>> files = ReadDesktopFolder(XdgDesktopDirectory(), flavour.positionKey);
    if (!files) return std::nullopt;
    if (!shown) return IconArrangement{};
    const GSettingsReader desktop(flavour.desktopSchema);
    const std::optional<std::string> text = ReadSettingsFile(UserConfigPath({flavour.metadataFile}));
    const IniFile metadata = ParseIniFile(text.value_or(""));

    // The desktop's own icons come first: computer, home, trash, then volumes, then the files.
    std::vector<XdgDesktopItem> items;
    AddPlace(items, desktop, metadata, flavour, SpecialPlace::Computer, "computer", "computer", flavour.computerDefault,
             "Computer");
    AddPlace(items, desktop, metadata, flavour, SpecialPlace::Home, "home", "home", flavour.homeDefault,
             flavour.monitorRecorded ? "Home" : std::string(g_get_user_name()) + "'s Home");
    AddPlace(items, desktop, metadata, flavour, SpecialPlace::Trash, "trash", "trash", flavour.trashDefault, "Trash");
    if (desktop.Boolean("volumes-visible").value_or(flavour.volumesDefault))
        for (XdgDesktopItem& volume : MountedVolumes()) {
            volume.recordedPosition = ParsePoint(metadata.Find(volume.fileName, flavour.positionName));
            items.push_back(std::move(volume));
        }
    const std::size_t specials = items.size();
    const std::vector<std::size_t> fileOrder = NameOrder(*files, false);
    for (XdgDesktopItem& file : *files) items.push_back(std::move(file));
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < specials; ++i) order.push_back(i);
    for (const std::size_t index : fileOrder) order.push_back(specials + index);

    // A fresh desktop's columns, as caja lays them out (measured against caja 1.26 on a virtual
    // display): 48 px icons from (64, 22), columns 78 px and rows 80 px apart. Labels wider than
    // a column widen it there, which this grid does not follow.
    constexpr std::int32_t Icon = 48, StepX = 78, StepY = 80;
    SlotGrid grid;
    grid.first = ShellPoint{screen.workX + 64, screen.workY + 22};
    grid.stepX = StepX;
    grid.stepY = StepY;
    grid.columns = std::max(1, (screen.workWidth - 64) / StepX);
    grid.rows = std::max(1, (screen.workHeight - 22 - Icon - 10) / StepY + 1);

    std::vector<RecordedPlace> records;
    std::vector<std::size_t> kept;
    for (const std::size_t index : order) {
        const XdgDesktopItem& item = items[index];
        RecordedPlace record;
        if (item.recordedPosition) {
            // nemo records positions in its monitor's own window; caja in the whole screen's.
            if (flavour.monitorRecorded) {
                if (item.recordedMonitor >= 0 && item.recordedMonitor != screen.monitorIndex) continue;
                record.point = item.recordedPosition;
            } else {
                record.point = ShellPoint{item.recordedPosition->x - screen.x, item.recordedPosition->y - screen.y};
            }
        }
        records.push_back(record);
        kept.push_back(index);
    }
    const auto positions = PlaceIcons(grid, records, Icon, ScreenSize{screen.width, screen.height});
    return Arranged(Icon, std::move(items), kept, positions);
}

}  // namespace

std::optional<IconArrangement> NemoDesktopIcons(const ScreenFacts& screen) {
    const GSettingsReader desktop("org.nemo.desktop");
    // "shown on the primary monitor::shown on the others"
    const std::string layout = desktop.String("desktop-layout").value_or("true::false");
    const bool shown = desktop.Boolean("show-desktop-icons").value_or(true) && layout.rfind("true", 0) == 0;
    return Arrange(Nemo, screen, shown);
}

std::optional<IconArrangement> CajaDesktopIcons(const ScreenFacts& screen) {
    const GSettingsReader background("org.mate.background");
    return Arrange(Caja, screen, background.Boolean("show-desktop-icons").value_or(true));
}
