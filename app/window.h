// Our own window: full screen on the primary monitor at its current video mode, with a GL 3.3
// core context, vertical synchronisation, a hidden cursor and the two input callbacks; and on
// every other monitor a black borderless window, so that nothing of the desktop stays lit there.
#pragma once

#include "app/show_surface.h"

#include <vector>

struct GLFWwindow;

enum class WindowResult { Opened, GlfwFailed, NoMonitor, WindowFailed, LoaderFailed };

class Window final : public ShowSurface {
public:
    GLFWwindow* handle = nullptr;
    // The black windows on the other monitors; any of them can end the run as the show can.
    std::vector<GLFWwindow*> covers;
    // The primary monitor's video mode, read once before the window exists.
    ScreenSize screen;

    ScreenSize Screen() const override { return screen; }
    double Time() const override;
    void PollEvents() override;
    PointerReading PointerPosition(double& x, double& y) override;
    void RequestClose() override;
    bool CloseRequested() const override;
    void Present() override;

    // Set by the callbacks: the window has had a pointer event of its own; a cover was exposed.
    bool pointerEvent = false;
    bool coversExposed = false;
    PointerHandOver pointerHandOver;
};

// Initialises GLFW, opens the windows and sets the GL state everything later relies on.
// Failures print their message; the caller turns the result into an exit code.
WindowResult OpenWindow(Window& window);
