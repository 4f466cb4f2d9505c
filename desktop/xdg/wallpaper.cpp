// Which environment is running, and its backdrop: that environment's reader first; without one
// named, a standalone setter's record, then whatever the user set in any environment.
#include "desktop/xdg/wallpaper.h"

#include "desktop/xdg/settings_files.h"

#include <glib.h>

#include <cctype>

DesktopEnvironment DetectDesktopEnvironment(std::string_view currentDesktop) {
    std::size_t start = 0;
    while (start <= currentDesktop.size()) {
        std::size_t end = currentDesktop.find(':', start);
        if (end == std::string_view::npos) end = currentDesktop.size();
        std::string name(currentDesktop.substr(start, end - start));
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        start = end + 1;
        if (name == "gnome" || name == "ubuntu" || name == "unity" || name == "pantheon" || name == "gnome-flashback" ||
            name == "gnome-classic")
            return DesktopEnvironment::Gnome;
        if (name == "budgie" || name == "budgie-desktop") return DesktopEnvironment::Budgie;
        if (name == "x-cinnamon" || name == "cinnamon") return DesktopEnvironment::Cinnamon;
        if (name == "mate") return DesktopEnvironment::Mate;
        if (name == "kde") return DesktopEnvironment::Plasma;
        if (name == "xfce") return DesktopEnvironment::Xfce;
        if (name == "lxqt") return DesktopEnvironment::Lxqt;
        if (name == "lxde") return DesktopEnvironment::Lxde;
    }
    return DesktopEnvironment::Unknown;
}

namespace {

std::optional<WallpaperSetting> EnvironmentWallpaper(DesktopEnvironment environment, const ScreenFacts& screen,
                                                     std::time_t now) {
    switch (environment) {
        case DesktopEnvironment::Gnome: return GnomeWallpaper(false, now, screen);
        case DesktopEnvironment::Budgie: return BudgieWallpaper(screen);
        case DesktopEnvironment::Cinnamon: return CinnamonWallpaper(now, screen);
        case DesktopEnvironment::Mate: return MateWallpaper();
        case DesktopEnvironment::Plasma: return PlasmaWallpaper(screen);
        case DesktopEnvironment::Xfce: return XfceWallpaper(screen);
        case DesktopEnvironment::Lxqt: return LxqtWallpaper();
        case DesktopEnvironment::Lxde: return LxdeWallpaper();
        case DesktopEnvironment::Unknown: break;
    }
    return std::nullopt;
}

}  // namespace

WallpaperSetting QueryXdgWallpaper(const ScreenFacts& screen) {
    const std::time_t now = std::time(nullptr);
    const char* current = g_getenv("XDG_CURRENT_DESKTOP");
    std::optional<WallpaperSetting> found =
        EnvironmentWallpaper(DetectDesktopEnvironment(current ? current : ""), screen, now);
    // No environment named: a standalone setter (it runs on bare window managers), then the
    // files a user's own environment leaves, then GNOME's keys where the user changed them.
    if (!found) found = FehWallpaper();
    if (!found) found = NitrogenWallpaper();
    if (!found && ReadSettingsFile(UserConfigPath({"xfce4", "xfconf", "xfce-perchannel-xml", "xfce4-desktop.xml"})))
        found = XfceWallpaper(screen);
    if (!found) found = PlasmaWallpaper(screen);
    if (!found) found = GnomeWallpaper(true, now, screen);
    WallpaperSetting setting = found.value_or(WallpaperSetting{});
    // A picture that cannot be shown (missing, unreadable, a folder, a FIFO or device) is none.
    setting.path = UsablePicture(setting.path);
    return setting;
}
