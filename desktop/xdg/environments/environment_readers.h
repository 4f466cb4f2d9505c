// Each environment's two readers, named in the table of environments (environments.cpp), and the
// parsers of its files, which take text already read so that each is tested alone. One section
// per file of environments/.
#pragma once

#include "desktop/desktop_capture.h"
#include "desktop/xdg/desktop_session.h"
#include "desktop/xdg/icon_layout.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

// ---- gnome.cpp: GNOME, Ubuntu's desktop-icons extension, Budgie ----

std::optional<IconArrangement> GnomeDesktopIcons(const DesktopSession& session);
std::optional<WallpaperSetting> GnomeWallpaper(const DesktopSession& session);
// GNOME's background keys only where the user changed one: a guess for sessions that name no
// environment.
std::optional<WallpaperSetting> GnomeWallpaperTheUserSet(const DesktopSession& session);

// ---- cinnamon.cpp: Cinnamon (nemo's desktop) ----

std::optional<IconArrangement> CinnamonDesktopIcons(const DesktopSession& session);
std::optional<WallpaperSetting> CinnamonWallpaper(const DesktopSession& session);

// ---- mate.cpp: MATE (caja's desktop) ----

std::optional<IconArrangement> MateDesktopIcons(const DesktopSession& session);
std::optional<WallpaperSetting> MateWallpaper(const DesktopSession& session);

// ---- plasma.cpp: KDE Plasma ----

std::optional<IconArrangement> PlasmaDesktopIcons(const DesktopSession& session);
std::optional<WallpaperSetting> PlasmaWallpaper(const DesktopSession& session);

// KDE Plasma's desktop containment on the primary screen in the current activity (empty: any).
struct PlasmaWallpaperRecord {
    std::string plugin;  // "org.kde.image", "org.kde.color", ...
    std::string image;   // as written: a file URL, a path, a package folder, or empty
    std::optional<Color> color;
};
std::optional<PlasmaWallpaperRecord> ParsePlasmaAppletsrc(std::string_view text, std::string_view activity);

// The image of a Plasma wallpaper package (a folder with contents/images[_dark]) that best fits
// the screen: the exact size, else the smallest larger one, else the largest.
std::string PlasmaPackagePicture(std::string folder, const ScreenFacts& screen, bool dark);

// ---- xfce.cpp: XFCE (xfdesktop) ----

std::optional<IconArrangement> XfceDesktopIcons(const DesktopSession& session);
std::optional<WallpaperSetting> XfceWallpaper(const DesktopSession& session);

// XFCE's backdrop for the screen's monitor and workspace (the first monitor that has a setting
// when the screen's connector has none).
std::optional<WallpaperSetting> ParseXfceDesktopChannel(std::string_view xml, const ScreenFacts& screen);

// ---- lxqt.cpp: LXQt (pcmanfm-qt's desktop) ----

std::optional<IconArrangement> LxqtDesktopIcons(const DesktopSession& session);
std::optional<WallpaperSetting> LxqtWallpaper(const DesktopSession& session);
std::optional<WallpaperSetting> ParseLxqtSettings(std::string_view text);

// ---- lxde.cpp: LXDE (pcmanfm's desktop) ----

std::optional<IconArrangement> LxdeDesktopIcons(const DesktopSession& session);
std::optional<WallpaperSetting> LxdeWallpaper(const DesktopSession& session);
std::optional<WallpaperSetting> ParsePcmanfmDesktop(std::string_view text, std::string_view group);

// ---- standalone.cpp: no environment (a plain grid; nitrogen's and feh's wallpaper) ----

std::optional<IconArrangement> PlainDesktopIcons(const DesktopSession& session);
std::optional<WallpaperSetting> NitrogenWallpaper(const DesktopSession& session);
std::optional<WallpaperSetting> FehWallpaper(const DesktopSession& session);
std::optional<WallpaperSetting> ParseNitrogenConfig(std::string_view text);
std::optional<WallpaperSetting> ParseFehbg(const std::string& text);
