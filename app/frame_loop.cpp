// One frame after another until the window is asked to close: time, input, the world, the picture.
#include "app/frame_loop.h"

#include "app/frame_timing.h"
#include "app/platform.h"
#include "core/startup_profile.h"
#include "app/show_surface.h"
#include "desktop/desktop_mirror.h"
#include "render/resources.h"
#include "world/game_object.h"
#include "world/population.h"

#include <glad/gl.h>

#include <cstdio>

namespace {

void PrintStartupReport() {
    const StartupProfile& profile = TheStartupProfile();
    const double total = SecondsSinceProcessStart();
    const double rest = total - profile.decodeSeconds - profile.uploadSeconds;
    std::printf("startup: first frame %.1f ms (decode %.1f ms, upload %.1f ms, rest %.1f ms), textures %.1f MiB\n",
                total * 1000.0, profile.decodeSeconds * 1000.0, profile.uploadSeconds * 1000.0, rest * 1000.0,
                static_cast<double>(profile.textureBytes) / (1 << 20));
    std::fflush(stdout);
}

}  // namespace

void RunFrameLoop(ShowSurface& surface, bool reportFirstFrame, Population* population, DesktopMirror* desktop) {
    float deltaTime = 0.0f;
    FrameClock clock(surface.Time());
    MouseExitRule mouseExit;
    const ScreenSize screen = surface.Screen();
    bool firstFrame = true;

    while (!surface.CloseRequested()) {
        deltaTime = clock.Tick(surface.Time());
        surface.PollEvents();

        double cursorX = 0.0, cursorY = 0.0;
        switch (surface.PointerPosition(cursorX, cursorY)) {
            case PointerReading::Unknown: break;
            case PointerReading::Settling: mouseExit.TakeReference(cursorX, cursorY); break;
            case PointerReading::Settled:
                if (mouseExit.Moved(cursorX, cursorY)) surface.RequestClose();
                break;
        }

        // World: move and cull the creatures, then the timed spawn.
        if (population != nullptr) {
            UpdateGameObjects(FrameContext{deltaTime, screen});
            RunTimedSpawn(deltaTime, screen, *population);
        }

        glClearColor(0.2f, 0.25f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        // Desktop: wallpaper, icons, labels.
        if (desktop != nullptr) DrawDesktop(*desktop, deltaTime);
        // World: the creatures, grouped by renderer.
        if (population != nullptr) DrawCreatures(deltaTime, *population);

        surface.Present();

        if (firstFrame) {
            if (reportFirstFrame) {
                PrintStartupReport();
                surface.RequestClose();
            }
            ReleaseStartupHeap();
            ReleaseResourcePages();
        }
        firstFrame = false;
    }
}
