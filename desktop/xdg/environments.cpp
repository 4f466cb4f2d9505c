// The table of desktop environments, the one reading of XDG_CURRENT_DESKTOP, and the dispatch to
// each environment's readers.
#include "desktop/xdg/environments.h"

#include "desktop/xdg/environments/environment_readers.h"
#include "desktop/xdg/settings_files.h"

#include <glib.h>

#include <cctype>
#include <string>

namespace {

using IconReader = std::optional<IconArrangement> (*)(const DesktopSession&);
using WallpaperReader = std::optional<WallpaperSetting> (*)(const DesktopSession&);

// A name XDG_CURRENT_DESKTOP may hold (compared without case), and the flavour it stands for.
struct SessionName {
    const char* name;
    bool ubuntu = false;
    bool budgie = false;
};

struct EnvironmentRow {
    DesktopEnvironment environment;
    std::initializer_list<SessionName> names;
    IconReader icons;
    WallpaperReader wallpaper;
};

const EnvironmentRow Environments[] = {
    {DesktopEnvironment::Gnome,
     {{"gnome"}, {"ubuntu", true}, {"unity"}, {"pantheon"}, {"gnome-flashback"}, {"gnome-classic"},
      {"budgie", false, true}, {"budgie-desktop", false, true}},
     GnomeDesktopIcons, GnomeWallpaper},
    {DesktopEnvironment::Cinnamon, {{"x-cinnamon"}, {"cinnamon"}}, CinnamonDesktopIcons, CinnamonWallpaper},
    {DesktopEnvironment::Mate, {{"mate"}}, MateDesktopIcons, MateWallpaper},
    {DesktopEnvironment::Plasma, {{"kde"}}, PlasmaDesktopIcons, PlasmaWallpaper},
    {DesktopEnvironment::Xfce, {{"xfce"}}, XfceDesktopIcons, XfceWallpaper},
    {DesktopEnvironment::Lxqt, {{"lxqt"}}, LxqtDesktopIcons, LxqtWallpaper},
    {DesktopEnvironment::Lxde, {{"lxde"}}, LxdeDesktopIcons, LxdeWallpaper},
};

const EnvironmentRow* RowOf(DesktopEnvironment environment) {
    for (const EnvironmentRow& row : Environments)
        if (row.environment == environment) return &row;
    return nullptr;
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lowered;
}

// Without an environment named: a standalone setter's record (they run on bare window managers),
// then the files a user's own environment leaves, then GNOME's keys where the user changed them.
std::optional<WallpaperSetting> GuessedWallpaper(const DesktopSession& session) {
    std::optional<WallpaperSetting> found = FehWallpaper(session);
    if (!found) found = NitrogenWallpaper(session);
    if (!found && ReadSettingsFile(UserConfigPath({"xfce4", "xfconf", "xfce-perchannel-xml", "xfce4-desktop.xml"})))
        found = XfceWallpaper(session);
    if (!found) found = PlasmaWallpaper(session);
    if (!found) found = GnomeWallpaperTheUserSet(session);
    return found;
}

}  // namespace

DesktopSession DetectDesktopSession(std::string_view currentDesktop) {
    DesktopSession session;
    const std::string lowered = Lowered(currentDesktop);
    // Ubuntu's flavour shows wherever the list names it ("ubuntu:GNOME", "GNOME-Ubuntu").
    const bool ubuntu = lowered.find("ubuntu") != std::string::npos;
    std::size_t start = 0;
    while (start <= lowered.size()) {
        std::size_t end = lowered.find(':', start);
        if (end == std::string::npos) end = lowered.size();
        const std::string_view name = std::string_view(lowered).substr(start, end - start);
        start = end + 1;
        for (const EnvironmentRow& row : Environments)
            for (const SessionName& known : row.names)
                if (name == known.name) {
                    session.environment = row.environment;
                    session.ubuntu = known.ubuntu || (ubuntu && row.environment == DesktopEnvironment::Gnome);
                    session.budgie = known.budgie;
                    return session;
                }
    }
    return session;
}

DesktopSession CurrentDesktopSession() {
    const char* current = g_getenv("XDG_CURRENT_DESKTOP");
    DesktopSession session = DetectDesktopSession(current ? current : "");
    session.screen = ReadScreenFacts();
    session.now = std::time(nullptr);
    return session;
}

std::optional<IconArrangement> ArrangeDesktopIcons(const DesktopSession& session) {
    const EnvironmentRow* row = RowOf(session.environment);
    return row ? row->icons(session) : PlainDesktopIcons(session);
}

WallpaperSetting ReadWallpaperSetting(const DesktopSession& session) {
    const EnvironmentRow* row = RowOf(session.environment);
    std::optional<WallpaperSetting> found = row ? row->wallpaper(session) : std::nullopt;
    if (!found) found = GuessedWallpaper(session);
    WallpaperSetting setting = found.value_or(WallpaperSetting{});
    // A picture that cannot be shown (missing, unreadable, a folder, a FIFO or device) is none.
    setting.path = UsablePicture(setting.path);
    return setting;
}
