// The desktop environments the mirror knows, in one table (environments.cpp): for each, the
// XDG_CURRENT_DESKTOP names it answers to and its two readers, one for its icons and their
// arrangement, one for its wallpaper and colour. Each environment's readers live in a file of
// its own under environments/. Adding an environment is one file there and one row here.
#pragma once

#include "desktop/desktop_capture.h"
#include "desktop/xdg/desktop_session.h"
#include "desktop/xdg/icon_layout.h"

#include <optional>
#include <string_view>

// The session XDG_CURRENT_DESKTOP names: its first name the table knows decides ("ubuntu:GNOME"
// is GNOME in Ubuntu's flavour, "X-Cinnamon" Cinnamon); Unknown when it names none. The screen
// and the time are left as they are.
DesktopSession DetectDesktopSession(std::string_view currentDesktop);

// The running session: XDG_CURRENT_DESKTOP (read here and nowhere else), the screen read from
// the X server, the clock.
DesktopSession CurrentDesktopSession();

// The session's icons as its environment arranges them (without an environment: the folder in
// name order on a plain grid). None when the desktop folder exists but cannot be read.
std::optional<IconArrangement> ArrangeDesktopIcons(const DesktopSession& session);

// The session's backdrop: its environment's reader first; where that has none (or there is no
// environment), a standalone setter's record, then what the user set in any environment. A
// picture that cannot be shown is none.
WallpaperSetting ReadWallpaperSetting(const DesktopSession& session);
