// The backdrop the running desktop environment shows: its picture, or where it has none its
// colour or gradient. One small reader per environment (environments/), each reading that
// environment's own settings; the parsers take text already read, so each is tested alone.
#pragma once

#include "core/geometry.h"
#include "desktop/image_pixels.h"
#include "desktop/xdg/xfconf.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

struct WallpaperSetting {
    std::string path;                       // a readable local picture; empty: no picture
    std::optional<Color> color;             // the plain colour (the first of a gradient)
    std::optional<ColorGradient> gradient;  // set when the colour is shaded
};

enum class DesktopEnvironment { Unknown, Gnome, Budgie, Cinnamon, Mate, Plasma, Xfce, Lxqt, Lxde };

// The first environment XDG_CURRENT_DESKTOP names that the mirror knows ("ubuntu:GNOME" is GNOME,
// "X-Cinnamon" Cinnamon); Unknown when it names none.
DesktopEnvironment DetectDesktopEnvironment(std::string_view currentDesktop);

// What the mirror reads of the screen it shows: the primary monitor's place, size and connector
// name on the X screen, and the window manager's current workspace.
struct ScreenFacts {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::string connector;  // e.g. "DP-1"; empty when unknown
    std::string edid{};     // the primary monitor's EDID as RandR publishes it; empty when none
    int monitorIndex = 0;   // the primary monitor's place among the lit ones
    int workspace = 0;
    // The part of the primary monitor panels leave free, relative to its top-left (the window's
    // origin); the whole monitor when the window manager publishes none.
    std::int32_t workX = 0;
    std::int32_t workY = 0;
    std::int32_t workWidth = 0;
    std::int32_t workHeight = 0;
    bool workAreaPublished = false;  // whether the window manager published one
    // X's resolution as GTK 2 and Qt take it: Xft.dpi, else the screen's size in millimetres.
    double dpi = 96.0;
    // GTK 3's: Xft.dpi, else 96 whatever the screen's size.
    double gtk3Dpi = 96.0;
};

// Read from the X server ($DISPLAY); 1920 x 1080 at (0, 0) when there is none.
ScreenFacts ReadScreenFacts();

// The backdrop of the running environment (XDG_CURRENT_DESKTOP first; without one, a standalone
// setter's record, then what the user set in any environment).
WallpaperSetting QueryXdgWallpaper(const ScreenFacts& screen);

// ---- The readers: none when the environment keeps no setting ----

// GNOME, Ubuntu and Budgie (org.gnome.desktop.background); Cinnamon and MATE keep their own.
// onlyUserSet: only when the user changed a key (for guessing without XDG_CURRENT_DESKTOP).
std::optional<WallpaperSetting> GnomeWallpaper(bool onlyUserSet, std::time_t now, const ScreenFacts& screen);
std::optional<WallpaperSetting> BudgieWallpaper(const ScreenFacts& screen);
std::optional<WallpaperSetting> CinnamonWallpaper(std::time_t now, const ScreenFacts& screen);
std::optional<WallpaperSetting> MateWallpaper();
std::optional<WallpaperSetting> PlasmaWallpaper(const ScreenFacts& screen);
std::optional<WallpaperSetting> XfceWallpaper(const ScreenFacts& screen);
std::optional<WallpaperSetting> LxqtWallpaper();
std::optional<WallpaperSetting> LxdeWallpaper();
std::optional<WallpaperSetting> NitrogenWallpaper();
std::optional<WallpaperSetting> FehWallpaper();

// ---- Parsers of the files behind those settings, for text already read ----

// The picture a GNOME slideshow file shows at time now on a width x height screen (the size
// variant that suits it best); empty when it names none.
std::string SlideshowPictureAt(std::string_view xml, std::time_t now, std::int32_t width, std::int32_t height);

// XFCE's backdrop for the screen's monitor and workspace (the first monitor that has a setting
// when the screen's connector has none).
std::optional<WallpaperSetting> ParseXfceDesktopChannel(std::string_view xml, const ScreenFacts& screen);

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

std::optional<WallpaperSetting> ParseLxqtSettings(std::string_view text);
std::optional<WallpaperSetting> ParsePcmanfmDesktop(std::string_view text, std::string_view group);
std::optional<WallpaperSetting> ParseNitrogenConfig(std::string_view text);
std::optional<WallpaperSetting> ParseFehbg(const std::string& text);
