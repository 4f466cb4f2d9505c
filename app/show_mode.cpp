// Start-up and teardown of the show mode. Each step builds what the next ones need; teardown
// releases the long-lived objects in the order their owners require (creatures before their
// animation sets, everything GL before the context goes).
#include "app/show_mode.h"

#include "app/frame_loop.h"
#include "app/platform.h"
#include "app/random.h"
#include "app/window.h"
#include "desktop/desktop_mirror.h"
#include "render/asset_registry.h"
#include "render/glyph_font.h"
#include "render/particle_emitter.h"
#include "render/program_setup.h"
#include "render/sprite_renderer.h"
#include "world/animation_sets.h"
#include "world/game_object.h"
#include "world/population.h"

#include <GLFW/glfw3.h>

#include <cstdlib>
#include <ctime>
#include <memory>

int RunShowMode() {
    // Desktop: capture the icons while no window of ours covers the desktop.
    DesktopMirror desktop;
    if (!CaptureDesktop(desktop)) {
        ReleaseDesktopCapture(desktop);
        return 1;
    }

    SeedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
    PrepareHeapForImages();

    Window window;
    switch (OpenWindow(window)) {
        case WindowResult::Opened: break;
        case WindowResult::GlfwFailed:
        case WindowResult::LoaderFailed:
            return -1;
        case WindowResult::NoMonitor:
        case WindowResult::WindowFailed:
            glfwTerminate();
            return -1;
    }

    // Rendering: font and glyph cache, asset registry, shader programs, particle emitter.
    GlyphFont font;
    if (font.Load() != FontResult::Loaded) {
        // Desktop: release the desktop capture (font failure).
        ReleaseDesktopCapture(desktop);
        font.Release();
        glfwTerminate();
        return 1;
    }
    AssetRegistry assets;
    const Mat4 projection =
        Mat4::ScreenProjection(static_cast<float>(window.screen->width), static_cast<float>(window.screen->height));
    GlyphRenderer glyphRenderer = CreateGlyphRenderer(LoadTextProgram(assets, projection));
    LoadScenePrograms(assets, projection);
    std::unique_ptr<ParticleEmitter> particleEmitter = CreateParticleEmitter(assets);
    // Desktop: wallpaper background.
    CreateDesktopBackground(desktop, assets, window.screen->width, window.screen->height);
    // Rendering: the frame-strip renderers.
    FrameStripRenderers frameStripRenderers = CreateFrameStripRenderers(assets);
    // World: the animation sets.
    BuildAnimationSets(assets, frameStripRenderers);
    // Desktop: icon textures and animations.
    CreateDesktopIconAnimations(desktop, assets, frameStripRenderers.desktopIcon.get());
    UseLabelFont(desktop, font, glyphRenderer);
    // World: the first crowd.
    Population population;
    SpawnFirstCrowd(ScreenSize{window.screen->width, window.screen->height}, population);

    const char* benchStartup = std::getenv("GRAVEFALL_BENCH_STARTUP");
    RunFrameLoop(window, benchStartup != nullptr && benchStartup[0] == '1', &population, &desktop);

    // World: creatures, animation sets, creature renderers.
    DestroyCreatures();
    DestroyAnimationSets();
    DestroyCreatureRenderers(frameStripRenderers);
    // Desktop: icon animations and records.
    DestroyIconAnimationsAndRecords(desktop);
    // Rendering: the asset registry, then the GL objects nobody else deletes, while the context exists.
    assets.ReleaseAll();
    frameStripRenderers.desktopIcon.reset();
    particleEmitter.reset();
    DestroyGlyphRenderer(glyphRenderer);
    font.DeleteGlyphTextures();
    glfwTerminate();
    // Rendering: the font.
    font.Release();
    // Desktop: release the desktop capture.
    ReleaseDesktopCapture(desktop);
    return 0;
}
