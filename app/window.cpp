// Opening the full-screen window with its GL context, the covers of the other monitors, and the
// input callbacks.
#include "app/window.h"

#include "app/session.h"

#include <glad/gl.h>
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// GLFW's last complaint, for the one line that says why the show cannot start.
int lastErrorCode = 0;
std::string lastErrorText;

void ErrorCallback(int code, const char* description) {
    lastErrorCode = code;
    lastErrorText = description != nullptr ? description : "";
}

Window& Owner(GLFWwindow* window) { return *static_cast<Window*>(glfwGetWindowUserPointer(window)); }

void KeyCallback(GLFWwindow* window, int /*key*/, int /*scancode*/, int action, int /*mods*/) {
    if (action == GLFW_PRESS) Owner(window).RequestClose();
}

void FramebufferSizeCallback(GLFWwindow* /*window*/, int width, int height) {
    glViewport(0, 0, width, height);
}

void CursorPosCallback(GLFWwindow* window, double /*x*/, double /*y*/) { Owner(window).pointerEvent = true; }

void CursorEnterCallback(GLFWwindow* window, int entered) {
    if (entered) Owner(window).pointerEvent = true;
}

void CoverRefreshCallback(GLFWwindow* window) { Owner(window).coversExposed = true; }

void Report(const char* message) {
    std::printf("%s\n", message);
    std::fflush(stdout);
}

// One line on standard error naming what is missing: standard output is often nowhere.
void ReportCause(const char* what) {
    std::fprintf(stderr, "gravefall: %s (%s)\n", what, lastErrorText.empty() ? "no detail" : lastErrorText.c_str());
    std::fflush(stderr);
}

void ReportNoDisplay() {
#if !defined(_WIN32)
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0') {
        std::fprintf(stderr, "gravefall: no display to show on: DISPLAY is not set (start it from a graphical session)\n");
        std::fflush(stderr);
        return;
    }
#endif
    ReportCause("cannot open the display");
}

void DrawCovers(Window& window) {
    for (GLFWwindow* cover : window.covers) {
        glfwMakeContextCurrent(cover);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glfwSwapBuffers(cover);
    }
    glfwMakeContextCurrent(window.handle);
    window.coversExposed = false;
}

// A black borderless window over each monitor but the primary, made before the show's window so
// that the show's window is the one left with the keyboard focus.
void OpenCovers(Window& window, GLFWmonitor* primary) {
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    for (int i = 0; i < count; ++i) {
        if (monitors[i] == primary) continue;
        const GLFWvidmode* mode = glfwGetVideoMode(monitors[i]);
        if (mode == nullptr) continue;
        GLFWwindow* cover = glfwCreateWindow(mode->width, mode->height, "Gravefall", monitors[i], nullptr);
        if (cover == nullptr) continue;  // that monitor stays as it is; the show goes on
        glfwSetWindowUserPointer(cover, &window);
        glfwSetInputMode(cover, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
        glfwSetKeyCallback(cover, KeyCallback);
        // The pointer over a cover is the show's pointer too (the mouse rule reads it through
        // the show's window, whose coordinates reach over every monitor).
        glfwSetCursorPosCallback(cover, CursorPosCallback);
        glfwSetCursorEnterCallback(cover, CursorEnterCallback);
        glfwSetWindowRefreshCallback(cover, CoverRefreshCallback);
        WatchShowWindow(cover);
        window.covers.push_back(cover);
    }
}

}  // namespace

WindowResult OpenWindow(Window& window) {
    glfwSetErrorCallback(ErrorCallback);
    if (glfwInit() != GLFW_TRUE) {
        Report("Failed to initialize GLFW");
        ReportNoDisplay();
        return WindowResult::GlfwFailed;
    }

    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);

    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (mode == nullptr) {
        Report("No monitor to show Gravefall on");
        return WindowResult::NoMonitor;
    }
    window.screen = ScreenSize{mode->width, mode->height};

    glfwWindowHint(GLFW_DECORATED, GLFW_FALSE);
    glfwWindowHint(GLFW_FLOATING, GLFW_TRUE);
    // The pointer stays where the user left it (GLFW would centre it on the monitor, and the
    // mouse rule then compares against a place the user never put it), and a click on a cover,
    // which takes the focus, must not minimise the show.
    glfwWindowHint(GLFW_CENTER_CURSOR, GLFW_FALSE);
    glfwWindowHint(GLFW_AUTO_ICONIFY, GLFW_FALSE);

    OpenCovers(window, monitor);
    window.handle = glfwCreateWindow(window.screen.width, window.screen.height, "Gravefall", monitor, nullptr);
    if (window.handle == nullptr) {
        Report("Failed to create the Gravefall window (is OpenGL 3.3 available?)");
        const bool noOpenGl = lastErrorCode == GLFW_VERSION_UNAVAILABLE || lastErrorCode == GLFW_API_UNAVAILABLE ||
                              lastErrorCode == GLFW_FORMAT_UNAVAILABLE;
        ReportCause(noOpenGl ? "OpenGL 3.3 core is not available" : "cannot open a window");
        return WindowResult::WindowFailed;
    }
    glfwSetWindowUserPointer(window.handle, &window);
    WatchShowWindow(window.handle);
    glfwMakeContextCurrent(window.handle);
    glfwSetInputMode(window.handle, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
    glfwSwapInterval(1);

    if (gladLoadGL(glfwGetProcAddress) == 0) {
        Report("Failed to initialize GLAD");
        return WindowResult::LoaderFailed;
    }

    glfwSetKeyCallback(window.handle, KeyCallback);
    glfwSetFramebufferSizeCallback(window.handle, FramebufferSizeCallback);
    glfwSetCursorPosCallback(window.handle, CursorPosCallback);
    glfwSetCursorEnterCallback(window.handle, CursorEnterCallback);
    DrawCovers(window);
    glViewport(0, 0, window.screen.width, window.screen.height);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    return WindowResult::Opened;
}

double Window::Time() const { return glfwGetTime(); }

void Window::PollEvents() {
    glfwPollEvents();
    if (EndRequested()) RequestClose();
    for (GLFWwindow* cover : covers)
        if (glfwWindowShouldClose(cover)) RequestClose();
    if (coversExposed) DrawCovers(*this);
}

PointerReading Window::PointerPosition(double& x, double& y) {
    const bool focused = glfwGetWindowAttrib(handle, GLFW_FOCUSED) == GLFW_TRUE;
    const PointerReading reading = pointerHandOver.Read(focused, pointerEvent, glfwGetTime());
    if (reading != PointerReading::Unknown) glfwGetCursorPos(handle, &x, &y);
    return reading;
}

void Window::RequestClose() { glfwSetWindowShouldClose(handle, GLFW_TRUE); }

bool Window::CloseRequested() const { return glfwWindowShouldClose(handle) == GLFW_TRUE; }

void Window::Present() { glfwSwapBuffers(handle); }
