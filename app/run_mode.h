// The three ways the program can be started, chosen by the first command-line argument in the
// manner of a screen saver: show (run), settings (configure), preview (draw into a host window).
#pragma once

#include <optional>

enum class RunMode { Show, Settings, Preview };

// Only the first argument counts. "/s", "-S" and anything that is not a switch run the show;
// "/c..." the settings; "/p..." the preview. Characters after the switch letter are ignored.
RunMode ChooseRunMode(int argc, const char* const* argv);

// The window a screen-saver host gives the show to draw in (its own input stays the host's).
struct HostWindowRequest {
    bool root = false;        // -root / --root: the screen's root window
    unsigned long id = 0;     // otherwise this window
};

// XSCREENSAVER_WINDOW (the window id, decimal or 0x hex; the value of xscreensaverWindow, may be
// null) comes first, then -window-id ID / --window-id ID, then -root / --root, wherever they
// stand on the command line. Nothing when none is there or the id is not a number.
std::optional<HostWindowRequest> FindHostWindow(int argc, const char* const* argv, const char* xscreensaverWindow);

// A rectangle of the X screen, in pixels from the root window's top-left corner.
struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct PixelOffset {
    int x = 0, y = 0;
};

// Where the desktop's icons, which are captured for the primary monitor, go in a host's window:
// - the window takes in the whole primary monitor (the host's window on that monitor, or the
//   root window): at the monitor's top-left corner, in window pixels;
// - else the window's centre lies on the primary monitor (a preview): from the window's own
//   corner, so the window shows the top-left part of that monitor at full size;
// - else none: the window covers another monitor, where the desktop draws no icons.
std::optional<PixelOffset> PrimaryIconsOrigin(const ScreenRect& window, const ScreenRect& primaryMonitor);
