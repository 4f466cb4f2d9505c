// Choosing the run mode from the first command-line argument.
#include "app/run_mode.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

RunMode ChooseRunMode(int argc, const char* const* argv) {
    if (argc < 2 || argv[1] == nullptr) return RunMode::Show;
    const char* argument = argv[1];
    if (std::strlen(argument) < 2 || (argument[0] != '/' && argument[0] != '-')) return RunMode::Show;

    switch (std::tolower(static_cast<unsigned char>(argument[1]))) {
        case 'c': return RunMode::Settings;
        case 'p': return RunMode::Preview;
        default: return RunMode::Show;  // 's' and every other letter
    }
}

namespace {

// A window id as the hosts write it: decimal or 0x hex, nothing after it, never 0.
std::optional<unsigned long> ParseWindowId(const char* text) {
    if (text == nullptr || *text == '\0' || *text == '-') return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const unsigned long id = std::strtoul(text, &end, 0);
    if (errno != 0 || *end != '\0' || id == 0) return std::nullopt;
    return id;
}

bool Is(const char* argument, const char* name) {
    // Both -name and --name.
    if (argument == nullptr || argument[0] != '-') return false;
    if (argument[1] == '-') ++argument;
    return std::strcmp(argument + 1, name) == 0;
}

}  // namespace

std::optional<HostWindowRequest> FindHostWindow(int argc, const char* const* argv, const char* xscreensaverWindow) {
    if (xscreensaverWindow != nullptr && *xscreensaverWindow != '\0') {
        if (const auto id = ParseWindowId(xscreensaverWindow)) return HostWindowRequest{false, *id};
    }
    bool root = false;
    for (int i = 1; i < argc; ++i) {
        if (Is(argv[i], "window-id")) {
            // What follows is its value, a good one or not: "-window-id -root" is no -root.
            if (i + 1 < argc)
                if (const auto id = ParseWindowId(argv[i + 1])) return HostWindowRequest{false, *id};
            ++i;
        } else if (Is(argv[i], "root")) {
            root = true;
        }
    }
    if (root) return HostWindowRequest{true, 0};
    return std::nullopt;
}

std::optional<PixelOffset> PrimaryIconsOrigin(const ScreenRect& window, const ScreenRect& primaryMonitor) {
    const ScreenRect& w = window;
    const ScreenRect& p = primaryMonitor;
    if (w.width <= 0 || w.height <= 0 || p.width <= 0 || p.height <= 0) return std::nullopt;
    if (w.x <= p.x && w.y <= p.y && p.x + p.width <= w.x + w.width && p.y + p.height <= w.y + w.height)
        return PixelOffset{p.x - w.x, p.y - w.y};
    // The centre in doubled coordinates, so an odd size needs no rounding.
    const long centreX = 2L * w.x + w.width, centreY = 2L * w.y + w.height;
    if (2L * p.x <= centreX && centreX < 2L * (p.x + p.width) && 2L * p.y <= centreY && centreY < 2L * (p.y + p.height))
        return PixelOffset{0, 0};
    return std::nullopt;
}
