// The show's session on Windows, against Wine: the window GLFW makes full screen asks for the
// display to stay on, and the show takes that back; the end of the session is an end request;
// and every monitor but the primary gets a cover.
#include "app/session.h"
#include "app/window.h"

#include <gtest/gtest.h>

#include <windows.h>

#define GLFW_EXPOSE_NATIVE_WIN32
#include <GLFW/glfw3.h>
#include <GLFW/glfw3native.h>

namespace {

TEST(Session, TheShowWindowLetsTheDisplaySleepHearsTheSessionEndAndCoversTheOtherMonitors) {
    Window window;
    ASSERT_EQ(OpenWindow(window), WindowResult::Opened);
    // The call answers with the state before it: what the open window left behind. GLFW's own
    // is ES_CONTINUOUS | ES_DISPLAY_REQUIRED.
    EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));

    int monitors = 0;
    glfwGetMonitors(&monitors);
    EXPECT_EQ(window.covers.size(), static_cast<size_t>(monitors - 1));

    EXPECT_FALSE(EndRequested());
    EXPECT_FALSE(window.CloseRequested());
    EXPECT_EQ(SendMessageW(glfwGetWin32Window(window.handle), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(EndRequested());
    window.PollEvents();
    EXPECT_TRUE(window.CloseRequested());
    glfwTerminate();
}

}  // namespace
