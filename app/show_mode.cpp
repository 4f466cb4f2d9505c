// Start-up and teardown of the show mode. Each step builds what the next ones need; one teardown
// routine releases whatever has been built, in the order the owners require (creatures before
// their animation sets, everything GL before the context goes), after a normal end and after
// every start-up failure alike.
#include "app/show_mode.h"

#include "app/frame_loop.h"
#include "app/host_window.h"
#include "app/platform.h"
#include "app/session.h"
#include "app/window.h"
#include "core/random.h"
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

namespace {

// Everything the show builds, held from start-up to teardown. A part not built yet is empty.
struct ShowParts {
    DesktopMirror desktop;
    Window window;
    bool terminateGlfw = false;  // whether the teardown ends GLFW (see OpenShowWindow)
    HostedSurface hosted;        // instead of the window, when a screen-saver host gave us one
    GlyphFont font;
    std::unique_ptr<AssetRegistry> assets;
    std::unique_ptr<GlyphRenderer> glyphRenderer;
    std::unique_ptr<ParticleEmitter> particleEmitter;
    FrameStripRenderers frameStripRenderers;
    Population population;

    ShowSurface& Surface() { return hosted.surface ? *hosted.surface : static_cast<ShowSurface&>(window); }
};

// The one teardown, in the fixed order; every step skips what was never built.
void TearDown(ShowParts& show) {
    // World: creatures, animation sets, creature renderers.
    DestroyCreatures();
    DestroyAnimationSets();
    DestroyCreatureRenderers(show.frameStripRenderers);
    // Desktop: icon animations and records.
    DestroyIconAnimationsAndRecords(show.desktop);
    // Rendering: the asset registry, then the GL objects nobody else deletes, while the context exists.
    if (show.assets) show.assets->ReleaseAll();
    show.frameStripRenderers.desktopIcon.reset();
    show.particleEmitter.reset();
    show.glyphRenderer.reset();
    show.desktop.background.reset();
    show.font.DeleteGlyphTextures();
    if (show.terminateGlfw) glfwTerminate();
    show.hosted.surface.reset();
    // Rendering: the font.
    show.font.Release();
    // Desktop: release the desktop capture.
    ReleaseDesktopCapture(show.desktop);
}

// Opens the window. GLFW is ended by the teardown once a window was asked for; a failed GLFW
// start or GL loader leaves it as it is.
int OpenShowWindow(ShowParts& show) {
    switch (OpenWindow(show.window)) {
        case WindowResult::Opened:
            show.terminateGlfw = true;
            return 0;
        case WindowResult::GlfwFailed:
        case WindowResult::LoaderFailed:
            return -1;
        case WindowResult::NoMonitor:
        case WindowResult::WindowFailed:
            show.terminateGlfw = true;
            return -1;
    }
    return -1;
}

// The icons were captured for the primary monitor: they move to where that monitor is in the
// host's window, and go where the window covers another monitor.
void PlaceIconsInHostWindow(DesktopMirror& desktop, const HostedSurface& hosted) {
    const std::optional<PixelOffset> origin = PrimaryIconsOrigin(hosted.window, hosted.primaryMonitor);
    if (!origin) {
        desktop.desktopIcons.clear();
        return;
    }
    for (DesktopIcon& icon : desktop.desktopIcons) {
        icon.position.x += origin->x;
        icon.position.y += origin->y;
    }
}

// Opens the context on the host's window. Its failures end the run as the window's do.
int OpenHostedShow(ShowParts& show, const HostWindowRequest& request) {
    if (OpenHostWindow(request, show.hosted) != HostWindowResult::Opened) return -1;
    PlaceIconsInHostWindow(show.desktop, show.hosted);
    return 0;
}

// Start-up from the font to the first crowd, in its fixed order. False when the font fails.
bool BuildShow(ShowParts& show) {
    const ScreenSize screen = show.Surface().Screen();
    const int width = screen.width, height = screen.height;
    // Rendering: font and glyph cache, asset registry, shader programs, particle emitter.
    if (show.font.Load() != FontResult::Loaded) return false;
    show.assets = std::make_unique<AssetRegistry>();
    AssetRegistry& assets = *show.assets;
    const Mat4 projection = Mat4::ScreenProjection(static_cast<float>(width), static_cast<float>(height));
    show.glyphRenderer = std::make_unique<GlyphRenderer>(LoadTextProgram(assets, projection));
    LoadScenePrograms(assets, projection);
    show.particleEmitter = CreateParticleEmitter(assets);
    // Desktop: wallpaper background.
    CreateDesktopBackground(show.desktop, assets, width, height);
    // Rendering: the frame-strip renderers.
    show.frameStripRenderers = CreateFrameStripRenderers(assets);
    // World: the animation sets.
    BuildAnimationSets(assets, show.frameStripRenderers);
    // Desktop: icon textures and animations.
    CreateDesktopIconAnimations(show.desktop, assets, show.frameStripRenderers.desktopIcon.get());
    UseLabelFont(show.desktop, show.font, *show.glyphRenderer);
    // World: the first crowd.
    SpawnFirstCrowd(ScreenSize{width, height}, show.population);
    return true;
}

}  // namespace

int RunShowMode(const std::optional<HostWindowRequest>& host) {
    // A signal from here on ends the run through the teardown below, as a key press does.
    InstallEndRequests();
    // A host runs a show on each of its monitors and ends each itself: only a show in a window
    // of its own claims the display (and only its window library touches the display's settings).
    // The claim connects to the display: a FIFO for the X authority must not hang it.
    KeepDisplayConnectionToRegularFiles();
    if (!host && ClaimDisplay() == ClaimResult::AnotherShowRuns) return 0;  // the running show is the show
    ShowParts show;
    int exitCode = 0;
    // Desktop: capture the icons while no window of ours covers the desktop.
    if (!CaptureDesktop(show.desktop)) {
        exitCode = 1;
    } else if (!EndRequested()) {
        SeedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
        KeepWindowLibrariesToRegularFiles();
        PrepareHeapForImages();
        exitCode = host ? OpenHostedShow(show, *host) : OpenShowWindow(show);
        if (exitCode == 0 && !BuildShow(show)) exitCode = 1;
        if (exitCode == 0) {
            const char* benchStartup = std::getenv("GRAVEFALL_BENCH_STARTUP");
            RunFrameLoop(show.Surface(), benchStartup != nullptr && benchStartup[0] == '1', &show.population,
                         &show.desktop);
        }
    }
    TearDown(show);
    ReleaseDisplay();
    return exitCode;
}
