// Entry of the GL tests: one hidden window with a GL 3.3 core context, current for every test,
// with the blending the program itself sets. Needs an X server ($DISPLAY; Xvfb in scripts/test).
#include <glad/gl.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests (done by the build, with no display) needs no context.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

    if (glfwInit() != GLFW_TRUE) {
        std::fprintf(stderr, "gl_tests: cannot initialise GLFW (no display?)\n");
        return 1;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(640, 480, "gl_tests", nullptr, nullptr);
    if (window == nullptr) {
        std::fprintf(stderr, "gl_tests: cannot create a GL 3.3 core context\n");
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    if (gladLoadGL(glfwGetProcAddress) == 0) {
        std::fprintf(stderr, "gl_tests: cannot load the GL entry points\n");
        glfwTerminate();
        return 1;
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    const int result = RUN_ALL_TESTS();
    glfwDestroyWindow(window);
    glfwTerminate();
    return result;
}
