// The show in a screen-saver host's X window. GLFW draws only into windows it made, so the
// context here is GLX's own, on the window the host made for us. The host keeps the keyboard and
// the pointer and ends the show with SIGTERM; we only follow the window's size and its end.
#include "app/host_window.h"

#include "app/session.h"

#include <glad/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// ---- X errors ------------------------------------------------------------------------------
// The window is the host's and may go at any moment (the host destroys it as it ends us): an
// error about it ends the show instead of the process, as Xlib's default handler would.
int lastXError = 0;

int RememberXError(Display*, XErrorEvent* event) {
    lastXError = event->error_code;
    return 0;
}

void ReportCause(const char* what) {
    std::fprintf(stderr, "gravefall: %s\n", what);
    std::fflush(stderr);
}

bool HasExtension(const char* extensions, const char* name) {
    const std::size_t length = std::strlen(name);
    for (const char* at = extensions; at != nullptr && (at = std::strstr(at, name)) != nullptr; at += length)
        if ((at == extensions || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) return true;
    return false;
}

// ---- The monitor the icons belong to ------------------------------------------------------------

ScreenRect PrimaryMonitor(Display* display, ::Window root, int screen) {
    ScreenRect whole{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 105)
        return whole;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    if (monitors == nullptr) return whole;
    ScreenRect found = whole;
    for (int i = 0; i < count; ++i)
        if (monitors[i].primary || i == 0)
            found = ScreenRect{monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height};
    XRRFreeMonitors(monitors);
    return found;
}

// ---- The GL context on the host's window -------------------------------------------------------

// The window's visual is the host's choice: the context must be made for a configuration of that
// very visual, double-buffered if there is one.
GLXFBConfig ConfigForVisual(Display* display, int screen, VisualID visual) {
    int count = 0;
    GLXFBConfig* configs = glXGetFBConfigs(display, screen, &count);
    GLXFBConfig best = nullptr;
    bool bestDoubleBuffered = false;
    for (int i = 0; i < count; ++i) {
        int id = 0, drawable = 0, render = 0, doubleBuffered = 0;
        glXGetFBConfigAttrib(display, configs[i], GLX_VISUAL_ID, &id);
        glXGetFBConfigAttrib(display, configs[i], GLX_DRAWABLE_TYPE, &drawable);
        glXGetFBConfigAttrib(display, configs[i], GLX_RENDER_TYPE, &render);
        glXGetFBConfigAttrib(display, configs[i], GLX_DOUBLEBUFFER, &doubleBuffered);
        if (static_cast<VisualID>(id) != visual || !(drawable & GLX_WINDOW_BIT) || !(render & GLX_RGBA_BIT)) continue;
        if (best == nullptr || (doubleBuffered && !bestDoubleBuffered)) {
            best = configs[i];
            bestDoubleBuffered = doubleBuffered != 0;
        }
    }
    if (configs != nullptr) XFree(configs);
    return best;
}

using CreateContextAttribs = GLXContext (*)(Display*, GLXFBConfig, GLXContext, Bool, const int*);

GLXContext CreateCoreContext(Display* display, int screen, GLXFBConfig config) {
    if (!HasExtension(glXQueryExtensionsString(display, screen), "GLX_ARB_create_context_profile")) return nullptr;
    const auto create = reinterpret_cast<CreateContextAttribs>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCreateContextAttribsARB")));
    if (create == nullptr) return nullptr;
    const int attributes[] = {GLX_CONTEXT_MAJOR_VERSION_ARB, 3, GLX_CONTEXT_MINOR_VERSION_ARB, 3,
                              GLX_CONTEXT_PROFILE_MASK_ARB, GLX_CONTEXT_CORE_PROFILE_BIT_ARB, None};
    GLXContext context = create(display, config, nullptr, True, attributes);
    XSync(display, False);
    return context;
}

void SwapEveryVerticalBlank(Display* display, int screen, ::Window window) {
    const char* extensions = glXQueryExtensionsString(display, screen);
    using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
    using SwapIntervalMesa = int (*)(unsigned);
    if (HasExtension(extensions, "GLX_EXT_swap_control")) {
        if (auto swap = reinterpret_cast<SwapIntervalExt>(
                glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT"))))
            swap(display, window, 1);
    } else if (HasExtension(extensions, "GLX_MESA_swap_control")) {
        if (auto swap = reinterpret_cast<SwapIntervalMesa>(
                glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA"))))
            swap(1);
    }
}

GLADapiproc LoadGlFunction(const char* name) {
    return reinterpret_cast<GLADapiproc>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

// ---- The surface ----------------------------------------------------------------------------

class HostWindow final : public ShowSurface {
public:
    HostWindow(Display* display, ::Window window, ScreenSize screen, XErrorHandler previousHandler)
        : display(display), window(window), screen(screen), previousHandler(previousHandler) {}
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    ~HostWindow() override {
        if (context != nullptr) {
            glXMakeCurrent(display, None, nullptr);
            glXDestroyContext(display, context);
        }
        XCloseDisplay(display);
        XSetErrorHandler(previousHandler);
    }

    GLXContext context = nullptr;

    ScreenSize Screen() const override { return screen; }

    double Time() const override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }

    void PollEvents() override {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ConfigureNotify && event.xconfigure.window == window)
                glViewport(0, 0, event.xconfigure.width, event.xconfigure.height);
            else if (event.type == DestroyNotify && event.xdestroywindow.window == window)
                closeRequested = true;
        }
        if (EndRequested() || lastXError == BadWindow || lastXError == BadDrawable) closeRequested = true;
    }

    // The pointer is the host's: whether it moved is for the host to judge.
    PointerReading PointerPosition(double&, double&) override { return PointerReading::Unknown; }
    void RequestClose() override { closeRequested = true; }
    bool CloseRequested() const override { return closeRequested; }
    void Present() override { glXSwapBuffers(display, window); }

private:
    Display* display;
    ::Window window;
    ScreenSize screen;
    XErrorHandler previousHandler;
    bool closeRequested = false;
};

}  // namespace

std::optional<HostWindowRequest> HostWindowOfThisRun(int argc, const char* const* argv) {
    return FindHostWindow(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
}

HostWindowResult OpenHostWindow(const HostWindowRequest& request, HostedSurface& hosted) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        const char* name = std::getenv("DISPLAY");
        ReportCause(name == nullptr || name[0] == '\0'
                        ? "no display to show on: DISPLAY is not set (start it from a graphical session)"
                        : "cannot open the display the host's window is on");
        return HostWindowResult::NoDisplay;
    }
    lastXError = 0;
    const XErrorHandler previousHandler = XSetErrorHandler(RememberXError);
    const ::Window target = request.root ? DefaultRootWindow(display) : static_cast<::Window>(request.id);
    XWindowAttributes attributes{};
    const bool exists = XGetWindowAttributes(display, target, &attributes) != 0 && lastXError == 0;
    if (!exists || attributes.width <= 0 || attributes.height <= 0) {
        char text[96];
        std::snprintf(text, sizeof text, "the host's window 0x%lx does not exist", static_cast<unsigned long>(target));
        ReportCause(text);
        XCloseDisplay(display);
        XSetErrorHandler(previousHandler);
        return HostWindowResult::NoWindow;
    }
    auto surface = std::make_unique<HostWindow>(display, target, ScreenSize{attributes.width, attributes.height},
                                                previousHandler);
    const int screen = XScreenNumberOfScreen(attributes.screen);
    const ::Window root = RootWindow(display, screen);
    ::Window child = None;
    int x = 0, y = 0;
    XTranslateCoordinates(display, target, root, 0, 0, &x, &y, &child);
    hosted.window = ScreenRect{x, y, attributes.width, attributes.height};
    hosted.primaryMonitor = PrimaryMonitor(display, root, screen);

    const GLXFBConfig config = ConfigForVisual(display, screen, XVisualIDFromVisual(attributes.visual));
    surface->context = config != nullptr ? CreateCoreContext(display, screen, config) : nullptr;
    if (surface->context == nullptr || !glXMakeCurrent(display, target, surface->context)) {
        ReportCause(config == nullptr ? "OpenGL 3.3 core is not available (the host's window has no GL visual)"
                                      : "OpenGL 3.3 core is not available");
        return HostWindowResult::NoOpenGl;
    }
    SwapEveryVerticalBlank(display, screen, target);
    if (gladLoadGL(LoadGlFunction) == 0) {
        std::printf("Failed to initialize GLAD\n");
        std::fflush(stdout);
        return HostWindowResult::LoaderFailed;
    }
    // The window's size and its end; its input stays with the host (a second client asking for
    // the pointer's buttons would be refused anyway).
    XSelectInput(display, target, StructureNotifyMask);
    XSync(display, False);
    glViewport(0, 0, attributes.width, attributes.height);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    hosted.surface = std::move(surface);
    return HostWindowResult::Opened;
}
