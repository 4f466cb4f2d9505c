// The primary monitor and the current workspace, read from the X server: RandR names the
// primary output and where it sits; the window manager publishes the workspace on the root window.
#include "desktop/xdg/screen_facts.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// The first KiB of the output's EDID property, as much as libxfce4windowing reads to name it.
std::string ReadEdid(Display* display, RROutput output) {
    const Atom property = XInternAtom(display, RR_PROPERTY_RANDR_EDID, True);
    if (property == None) return {};
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::string edid;
    if (XRRGetOutputProperty(display, output, property, 0, 256, False, False, AnyPropertyType, &type, &format, &count,
                             &remaining, &data) == Success &&
        data != nullptr && format == 8)
        edid.assign(reinterpret_cast<const char*>(data), count);
    if (data != nullptr) XFree(data);
    return edid;
}

void ReadPrimaryOutput(Display* display, Window root, ScreenFacts& facts) {
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase)) return;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == nullptr) return;
    RROutput primary = XRRGetOutputPrimary(display, root);
    // Without a primary output, the first one that is lit. Its place among the lit outputs is the
    // monitor number desktops record.
    int lit = 0;
    for (int i = 0; i < resources->noutput; ++i) {
        XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[i]);
        if (output != nullptr && output->crtc != None) {
            if (primary == None) primary = resources->outputs[i];
            if (resources->outputs[i] == primary) facts.monitorIndex = lit;
            ++lit;
        }
        if (output != nullptr) XRRFreeOutputInfo(output);
    }
    if (XRROutputInfo* output = primary != None ? XRRGetOutputInfo(display, resources, primary) : nullptr) {
        if (output->crtc != None) {
            if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, output->crtc)) {
                if (crtc->width > 0 && crtc->height > 0) {
                    facts.x = crtc->x;
                    facts.y = crtc->y;
                    facts.width = static_cast<std::int32_t>(crtc->width);
                    facts.height = static_cast<std::int32_t>(crtc->height);
                }
                XRRFreeCrtcInfo(crtc);
            }
        }
        if (output->name != nullptr) facts.connector.assign(output->name, static_cast<std::size_t>(output->nameLen));
        XRRFreeOutputInfo(output);
        facts.edid = ReadEdid(display, primary);
    }
    XRRFreeScreenResources(resources);
}

// _NET_WORKAREA of the current workspace, cut to the primary monitor, relative to its corner.
void ReadWorkArea(Display* display, Window root, ScreenFacts& facts) {
    facts.workX = 0, facts.workY = 0, facts.workWidth = facts.width, facts.workHeight = facts.height;
    const Atom property = XInternAtom(display, "_NET_WORKAREA", True);
    if (property == None) return;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, root, property, 0, 4 * 64, False, XA_CARDINAL, &type, &format, &count, &remaining,
                           &data) == Success &&
        data != nullptr && format == 32 && count >= 4) {
        const auto* values = reinterpret_cast<unsigned long*>(data);
        const unsigned long index = static_cast<unsigned long>(facts.workspace) * 4 + 4 <= count ? facts.workspace * 4u : 0;
        const long left = std::max<long>(static_cast<long>(values[index]), facts.x);
        const long top = std::max<long>(static_cast<long>(values[index + 1]), facts.y);
        const long right = std::min<long>(static_cast<long>(values[index] + values[index + 2]), facts.x + facts.width);
        const long bottom = std::min<long>(static_cast<long>(values[index + 1] + values[index + 3]), facts.y + facts.height);
        facts.workAreaPublished = true;
        if (right > left && bottom > top) {
            facts.workX = static_cast<std::int32_t>(left - facts.x);
            facts.workY = static_cast<std::int32_t>(top - facts.y);
            facts.workWidth = static_cast<std::int32_t>(right - left);
            facts.workHeight = static_cast<std::int32_t>(bottom - top);
        }
    }
    if (data != nullptr) XFree(data);
}

// Xft.dpi among the X resources, as GTK reads it; 0 when unset.
double XftDpi(Display* display) {
    if (const char* resources = XResourceManagerString(display)) {
        const std::string text = resources;
        const std::size_t at = text.find("Xft.dpi:");
        if (at != std::string::npos) {
            const double dpi = std::atof(text.c_str() + at + 8);
            if (dpi >= 24.0 && dpi <= 1000.0) return dpi;
        }
    }
    return 0.0;
}

double ScreenDpi(Display* display) {
    if (const double xft = XftDpi(display); xft > 0.0) return xft;
    const int screen = DefaultScreen(display);
    const int millimetres = DisplayHeightMM(display, screen);
    if (millimetres <= 0) return 96.0;
    return DisplayHeight(display, screen) * 25.4 / millimetres;
}

int CurrentWorkspace(Display* display, Window root) {
    const Atom property = XInternAtom(display, "_NET_CURRENT_DESKTOP", True);
    if (property == None) return 0;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    int workspace = 0;
    if (XGetWindowProperty(display, root, property, 0, 1, False, XA_CARDINAL, &type, &format, &count, &remaining,
                           &data) == Success &&
        data != nullptr && format == 32 && count == 1) {
        const unsigned long value = *reinterpret_cast<unsigned long*>(data);
        workspace = value < 1000 ? static_cast<int>(value) : 0;
    }
    if (data != nullptr) XFree(data);
    return workspace;
}

}  // namespace

ScreenFacts ReadScreenFacts() {
    ScreenFacts facts;
    facts.width = facts.workWidth = 1920;
    facts.height = facts.workHeight = 1080;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return facts;
    const Window root = DefaultRootWindow(display);
    facts.width = DisplayWidth(display, DefaultScreen(display));
    facts.height = DisplayHeight(display, DefaultScreen(display));
    ReadPrimaryOutput(display, root, facts);
    facts.workspace = CurrentWorkspace(display, root);
    ReadWorkArea(display, root, facts);
    facts.dpi = ScreenDpi(display);
    if (const double xft = XftDpi(display); xft > 0.0) facts.gtk3Dpi = xft;
    XCloseDisplay(display);
    return facts;
}
