// A screen-saver host's window as the show's surface. The Linux hosts (xscreensaver,
// xfce4-screensaver, mate-screensaver) make the window, keep its input and end the show with
// SIGTERM; the show draws into it with a GL context of its own, at the window's size.
#pragma once

#include "app/run_mode.h"
#include "app/show_surface.h"

#include <memory>
#include <optional>

// The host's window this run was given (XSCREENSAVER_WINDOW, -window-id ID, -root), if any.
// Windows' hosts use the run-mode switches instead: there, never one.
std::optional<HostWindowRequest> HostWindowOfThisRun(int argc, const char* const* argv);

enum class HostWindowResult { Opened, NoDisplay, NoWindow, NoOpenGl, LoaderFailed };

struct HostedSurface {
    // Holds the GL context, current on Opened; destroying it ends the context and the connection.
    std::unique_ptr<ShowSurface> surface;
    ScreenRect window;          // the host's window, in root-window pixels
    ScreenRect primaryMonitor;  // the monitor the desktop's icons were captured for
};

// Opens the connection, a GL 3.3 core context on the host's window, loads the GL entry points
// and sets the global GL state, as the show's own window does. Failures print one line on
// standard error naming the cause.
HostWindowResult OpenHostWindow(const HostWindowRequest& request, HostedSurface& hosted);
