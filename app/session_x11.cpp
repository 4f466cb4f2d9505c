// The session on X11: end signals through a flag the frame loop reads, the claim as an X
// selection owned by a window of our own connection (the server drops it when the process goes,
// however it goes), and the screen-saver settings GLFW turns off for a full-screen window.
#include "app/session.h"

#include <X11/Xlib.h>

#include <csignal>
#include <string>

namespace {

volatile std::sig_atomic_t endRequested = 0;

void OnEndSignal(int) { endRequested = 1; }

// Our own connection, open from the claim to the release.
Display* claimConnection = nullptr;

struct ScreenSaverSettings {
    int timeout = 0, interval = 0, preferBlanking = 0, allowExposures = 0;
};
ScreenSaverSettings savedScreenSaver;

}  // namespace

void InstallEndRequests() {
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool EndRequested() { return endRequested != 0; }

ClaimResult ClaimDisplay() {
    if (claimConnection != nullptr) return ClaimResult::Claimed;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return ClaimResult::NoDisplay;
    const int screen = DefaultScreen(display);
    const Atom selection = XInternAtom(display, ("_GRAVEFALL_SHOW_S" + std::to_string(screen)).c_str(), False);
    // Looking and taking under one grab: two shows started together cannot both find it free.
    XGrabServer(display);
    if (XGetSelectionOwner(display, selection) != None) {
        XUngrabServer(display);
        XCloseDisplay(display);
        return ClaimResult::AnotherShowRuns;
    }
    const ::Window owner = XCreateWindow(display, RootWindow(display, screen), -1, -1, 1, 1, 0, CopyFromParent,
                                         InputOnly, CopyFromParent, 0, nullptr);
    XSetSelectionOwner(display, selection, owner, CurrentTime);
    XUngrabServer(display);
    ScreenSaverSettings& saved = savedScreenSaver;
    XGetScreenSaver(display, &saved.timeout, &saved.interval, &saved.preferBlanking, &saved.allowExposures);
    XSync(display, False);
    claimConnection = display;
    return ClaimResult::Claimed;
}

void ReleaseDisplay() {
    if (claimConnection == nullptr) return;
    // GLFW puts the settings back when its window goes, but only if it gets that far; and the
    // server keeps them after we are gone, so an idle tool would never start a show again.
    const ScreenSaverSettings& saved = savedScreenSaver;
    XSetScreenSaver(claimConnection, saved.timeout, saved.interval, saved.preferBlanking, saved.allowExposures);
    XCloseDisplay(claimConnection);  // flushes, and the selection goes with the owner window
    claimConnection = nullptr;
}

void WatchShowWindow(GLFWwindow*) {}
