// The running session as the environments' readers see it: which desktop environment, in which
// flavour, on which screen and at which moment. Detected once, by the table in environments.cpp.
#pragma once

#include "desktop/xdg/screen_facts.h"

#include <ctime>

enum class DesktopEnvironment { Unknown, Gnome, Cinnamon, Mate, Plasma, Xfce, Lxqt, Lxde };

struct DesktopSession {
    DesktopEnvironment environment = DesktopEnvironment::Unknown;
    // GNOME's flavours: Ubuntu's session runs GNOME's desktop-icons extension as part of the
    // desktop; Budgie keeps GNOME's settings but has a desktop view and window manager of its own.
    bool ubuntu = false;
    bool budgie = false;
    ScreenFacts screen;
    std::time_t now = 0;
};
