// The floor of the show's memory: the same full-screen window and GL context with nothing in it,
// cleared and presented for a while, then its resident set size. scripts/bench-soak sets the
// show's own figures against it.
#include "app/window.h"

#include <glad/gl.h>
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

long ResidentKibibytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    Window window;
    if (OpenWindow(window) != WindowResult::Opened) return 1;
    const double start = glfwGetTime();
    while (glfwGetTime() - start < seconds) {
        glfwPollEvents();
        glClearColor(0.2f, 0.25f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        window.Present();
    }
    std::printf("bare window: RSS %.1f MiB\n", ResidentKibibytes() / 1024.0);
    glfwDestroyWindow(window.handle);
    glfwTerminate();
    return 0;
}
