// A prepared home for one desktop environment's tests: three files on the desktop, settings
// written as the environment's own tools write them, and the icons and backdrop read back in a
// child process as the mirror reads them.
#pragma once

#include "desktop/xdg/environments.h"
#include "tests/support/prepared_home.h"

#include <cmath>
#include <cstdlib>

using IconList = std::vector<std::string>;

inline std::string Rgb(const Color& color) {
    const auto byte = [](float value) { return std::to_string(static_cast<int>(std::lround(value * 255.0f))); };
    return byte(color.r) + "," + byte(color.g) + "," + byte(color.b);
}

// "picture|colour|gradient", the gradient as "V first>second ramp" (H for horizontal, ramp E or M).
inline std::string Describe(const WallpaperSetting& setting) {
    std::string line = setting.path + "|" + (setting.color ? Rgb(*setting.color) : "") + "|";
    if (setting.gradient) {
        line += setting.gradient->direction == GradientDirection::Vertical ? "V " : "H ";
        line += Rgb(setting.gradient->first) + ">" + Rgb(setting.gradient->second);
        line += setting.gradient->ramp == GradientRamp::EdgeToEdge ? " E" : " M";
    }
    return line;
}

// The backdrop of the session this process's environment names, on a 1920 x 1080 screen.
inline std::string Backdrop() {
    DesktopSession session = CurrentDesktopSession();
    session.screen = ScreenFacts{.x = 0, .y = 0, .width = 1920, .height = 1080, .connector = "HDMI-1",
                                 .monitorIndex = 0, .workspace = 1, .workX = 0, .workY = 0, .workWidth = 1920,
                                 .workHeight = 1080};
    return Describe(ReadWallpaperSetting(session));
}

class EnvironmentHome : public PreparedHome {
protected:
    void SetUp() override {
        PreparedHome::SetUp();
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) Write(home / "Desktop" / name, "text");
    }
    // gsettings with the keyfile backend, as a desktop's settings panel writes.
    void Set(const std::string& schema, const std::string& key, const std::string& value) {
        RunTool({"gsettings", "set", schema, key, value}, Settings());
    }
    std::map<std::string, std::string> Settings() {
        std::map<std::string, std::string> settings{{"GSETTINGS_BACKEND", "keyfile"}};
        // GNOME's desktop-icons extension ships its schema with the extension (scripts/test
        // compiles the packaged one).
        if (const char* ding = std::getenv("GRAVEFALL_DING_SCHEMA_DIR")) settings["GSETTINGS_SCHEMA_DIR"] = ding;
        return settings;
    }
    // "label|x|y|size" per icon, in the desktop's order (reading GIO's metadata on this home's
    // session bus when there is one).
    IconList Icons(const std::string& desktop) {
        auto settings = Settings();
        settings["XDG_CURRENT_DESKTOP"] = desktop;
        if (!busAddress.empty()) settings["DBUS_SESSION_BUS_ADDRESS"] = busAddress;
        IconList icons;
        for (const std::string& line : Lines(InChild(CaptureLines, settings))) {
            std::vector<std::string> fields;
            std::size_t start = 0;
            for (int i = 0; i < 4; ++i) {
                const std::size_t bar = line.find('|', start);
                fields.push_back(line.substr(start, bar - start));
                start = bar + 1;
            }
            icons.push_back(fields[0] + "|" + fields[1] + "|" + fields[2] + "|" + fields[3]);
        }
        return icons;
    }
    // The backdrop the desktop named shows.
    std::string In(const std::string& desktop) {
        auto settings = Settings();
        settings["XDG_CURRENT_DESKTOP"] = desktop;
        return InChild(Backdrop, settings);
    }
    std::string Path(const char* name) { return (home / "Desktop" / name).string(); }
    // A picture file the backdrop may show (its content does not matter to the reader).
    std::string Picture(const std::string& name) {
        Write(home / "pictures" / name, "picture");
        return (home / "pictures" / name).string();
    }
};
