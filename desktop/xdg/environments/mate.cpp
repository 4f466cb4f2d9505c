// MATE: org.mate.background, a picture path rather than a URI, and a vertical gradient by default.
#include "desktop/xdg/gsettings_reader.h"
#include "desktop/xdg/settings_files.h"
#include "desktop/xdg/wallpaper.h"

std::optional<WallpaperSetting> MateWallpaper() {
    const GSettingsReader background("org.mate.background");
    if (!background.Installed()) return std::nullopt;
    WallpaperSetting setting;
    // A path, not a URI; "none" or empty is no picture. (MATE has no "none" placement.)
    const std::string picture = background.String("picture-filename").value_or("");
    if (picture != "none") setting.path = LocalPathFromUriOrPath(picture);
    ReadBackgroundColors(background, "vertical-gradient", "horizontal-gradient", setting);
    return setting;
}
