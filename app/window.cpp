// Opening the full-screen window with its GL context, and the two input callbacks.
#include "app/window.h"

#include <glad/gl.h>
#include <GLFW/glfw3.h>

#include <cstdio>

namespace {

void KeyCallback(GLFWwindow* window, int /*key*/, int /*scancode*/, int action, int /*mods*/) {
    if (action == GLFW_PRESS) glfwSetWindowShouldClose(window, GLFW_TRUE);
}

void FramebufferSizeCallback(GLFWwindow* /*window*/, int width, int height) {
    glViewport(0, 0, width, height);
}

void Report(const char* message) {
    std::printf("%s\n", message);
    std::fflush(stdout);
}

}  // namespace

WindowResult OpenWindow(Window& window) {
    if (glfwInit() != GLFW_TRUE) {
        Report("Failed to initialize GLFW");
        return WindowResult::GlfwFailed;
    }

    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);

    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    window.screen = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (window.screen == nullptr) {
        Report("No monitor to show Gravefall on");
        return WindowResult::NoMonitor;
    }

    glfwWindowHint(GLFW_DECORATED, GLFW_FALSE);
    glfwWindowHint(GLFW_FLOATING, GLFW_TRUE);

    window.handle = glfwCreateWindow(window.screen->width, window.screen->height, "Gravefall", monitor, nullptr);
    if (window.handle == nullptr) {
        Report("Failed to create the Gravefall window (is OpenGL 3.3 available?)");
        return WindowResult::WindowFailed;
    }
    glfwMakeContextCurrent(window.handle);
    glfwSetInputMode(window.handle, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
    glfwSwapInterval(1);

    if (gladLoadGL(glfwGetProcAddress) == 0) {
        Report("Failed to initialize GLAD");
        return WindowResult::LoaderFailed;
    }

    glfwSetKeyCallback(window.handle, KeyCallback);
    glfwSetFramebufferSizeCallback(window.handle, FramebufferSizeCallback);
    glViewport(0, 0, window.screen->width, window.screen->height);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    return WindowResult::Opened;
}
