// XFCE 4.18/4.20 (xfdesktop): the backdrop of the primary monitor's connector and the shown
// workspace in the xfce4-desktop channel, with the system's channel and xfdesktop's own default
// picture behind the user's.
#include "desktop/xdg/settings_files.h"
#include "desktop/xdg/wallpaper.h"

#include <glib.h>

#include <algorithm>

namespace {

// What xfdesktop 4.18 shows for what is not set: its built-in picture, zoomed, over a dark blue.
constexpr const char* DefaultPicture = "/usr/share/backgrounds/xfce/xfce-shapes.svg";
constexpr Color DefaultColor{0.08235f, 0.13333f, 0.2f};

std::optional<Color> ColorOf(const XfconfProperty* property, float scale) {
    if (property == nullptr || property->values.size() < 3) return std::nullopt;
    float channels[3];
    for (int i = 0; i < 3; ++i) {
        const double value = g_ascii_strtod(property->values[static_cast<std::size_t>(i)].c_str(), nullptr);
        channels[i] = std::clamp(static_cast<float>(value) / scale, 0.0f, 1.0f);
    }
    return Color{channels[0], channels[1], channels[2]};
}

// rgba1/rgba2, four doubles 0..1. (The color1/color2 of before 4.12 are no longer read by
// xfdesktop, so not here either.)
Color BackdropColor(const std::vector<XfconfProperty>& properties, const std::string& base, int which) {
    return ColorOf(FindXfconfProperty(properties, base + "/rgba" + std::to_string(which)), 1.0f).value_or(DefaultColor);
}

// The folder of the backdrop in use: the screen's connector and workspace, else the first
// monitor that has one for that workspace (a connector named differently after a driver change).
std::string BackdropFolder(const std::vector<XfconfProperty>& properties, const ScreenFacts& screen) {
    int workspace = screen.workspace;
    const XfconfProperty* single = FindXfconfProperty(properties, "/backdrop/single-workspace-mode");
    if (single == nullptr || single->value == "true") {
        const XfconfProperty* number = FindXfconfProperty(properties, "/backdrop/single-workspace-number");
        workspace = number ? static_cast<int>(g_ascii_strtoll(number->value.c_str(), nullptr, 10)) : 0;
    }
    const std::string leaf = "/workspace" + std::to_string(workspace);
    if (!screen.connector.empty()) {
        const std::string exact = "/backdrop/screen0/monitor" + screen.connector + leaf;
        for (const XfconfProperty& property : properties)
            if (property.path.rfind(exact + "/", 0) == 0) return exact;
    }
    for (const XfconfProperty& property : properties) {
        if (property.path.rfind("/backdrop/screen0/monitor", 0) != 0) continue;
        const std::size_t at = property.path.find(leaf + "/");
        if (at != std::string::npos) return property.path.substr(0, at + leaf.size());
    }
    return {};
}

}  // namespace

std::optional<WallpaperSetting> ParseXfceDesktopChannel(std::string_view xml, const ScreenFacts& screen) {
    const std::vector<XfconfProperty> properties = ParseXfconfChannel(xml);
    const std::string base = BackdropFolder(properties, screen);
    if (base.empty()) return std::nullopt;
    WallpaperSetting setting;
    const XfconfProperty* image = FindXfconfProperty(properties, base + "/last-image");
    const XfconfProperty* style = FindXfconfProperty(properties, base + "/image-style");
    if (style == nullptr || style->value != "0")
        setting.path = image ? LocalPathFromUriOrPath(image->value) : std::string(DefaultPicture);
    const Color first = BackdropColor(properties, base, 1);
    setting.color = first;
    // 1 horizontal and 2 vertical gradients, drawn edge to edge; 0 solid, 3 transparent.
    const XfconfProperty* colorStyle = FindXfconfProperty(properties, base + "/color-style");
    const std::string shading = colorStyle ? colorStyle->value : "0";
    if (shading == "1" || shading == "2")
        setting.gradient = ColorGradient{first, BackdropColor(properties, base, 2),
                                         shading == "1" ? GradientDirection::Horizontal : GradientDirection::Vertical,
                                         GradientRamp::EdgeToEdge};
    return setting;
}

std::optional<WallpaperSetting> XfceWallpaper(const ScreenFacts& screen) {
    const char* channel[] = {"xfce4", "xfconf", "xfce-perchannel-xml", "xfce4-desktop.xml"};
    if (auto xml = ReadSettingsFile(UserConfigPath({channel[0], channel[1], channel[2], channel[3]})))
        if (auto setting = ParseXfceDesktopChannel(*xml, screen)) return setting;
    // The system's defaults, then xfdesktop's own.
    for (const gchar* const* folder = g_get_system_config_dirs(); *folder != nullptr; ++folder) {
        gchar* path = g_build_filename(*folder, channel[0], channel[1], channel[2], channel[3], nullptr);
        std::optional<std::string> xml = ReadSettingsFile(path);
        g_free(path);
        if (xml)
            if (auto setting = ParseXfceDesktopChannel(*xml, screen)) return setting;
    }
    return WallpaperSetting{DefaultPicture, DefaultColor, std::nullopt};
}
