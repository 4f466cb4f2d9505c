// The one window: full screen on the primary monitor at its current video mode, with a GL 3.3
// core context, vertical synchronisation, a hidden cursor and the two input callbacks.
#pragma once

struct GLFWwindow;
struct GLFWvidmode;

enum class WindowResult { Opened, GlfwFailed, NoMonitor, WindowFailed, LoaderFailed };

struct Window {
    GLFWwindow* handle = nullptr;
    // The screen size of the whole run, read once before the window exists. Owned by GLFW.
    const GLFWvidmode* screen = nullptr;
};

// Initialises GLFW, opens the window and sets the GL state everything later relies on.
// Failures print their message; the caller turns the result into an exit code.
WindowResult OpenWindow(Window& window);
