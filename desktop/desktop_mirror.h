// Everything the desktop mirror builds at start-up and draws each frame, in one owner: the
// captured icons, their animations, the wallpaper and the caption layout.
// The entry calls these at its fixed places in start-up, frame and teardown.
#pragma once

#include "desktop/background.h"
#include "desktop/desktop_capture.h"
#include "desktop/label_layout.h"

#include <memory>
#include <vector>

struct AssetRegistry;
struct GlyphFont;
struct GlyphRenderer;
class FrameStripRenderer;
class SpriteAnimation;

struct DesktopMirror {
    std::vector<DesktopIcon> desktopIcons;
    WallpaperSetting wallpaper;
    std::vector<std::unique_ptr<SpriteAnimation>> iconAnimations;
    std::unique_ptr<Background> background;
    std::unique_ptr<GlyphAdvanceTable> advances;
    GlyphFont* font = nullptr;
    const GlyphRenderer* glyphRenderer = nullptr;

    // The show's teardown releases what the mirror holds (DestroyIconAnimationsAndRecords, then
    // ReleaseDesktopCapture); destroying it does not.
    DesktopMirror() = default;
    DesktopMirror(const DesktopMirror&) = delete;
    DesktopMirror& operator=(const DesktopMirror&) = delete;
};

// Start-up, before the window: captures the desktop through the platform's seam. False when the
// desktop cannot be read (exit code 1); the caller then releases the capture.
bool CaptureDesktop(DesktopMirror& mirror);
// Start-up, after the "quad" program: the wallpaper background.
void CreateDesktopBackground(DesktopMirror& mirror, AssetRegistry& registry, int screenWidth, int screenHeight);
// Start-up, after the animation sets: one texture and animation per icon.
void CreateDesktopIconAnimations(DesktopMirror& mirror, AssetRegistry& registry, FrameStripRenderer* iconRenderer);
// The font and renderer the captions are measured and drawn with.
void UseLabelFont(DesktopMirror& mirror, GlyphFont& font, const GlyphRenderer& renderer);

// Each frame, right after the clear: wallpaper, icons, labels.
void DrawDesktop(DesktopMirror& mirror, float deltaTime);
// Caption of every icon, fitted and centred under it.
void DrawIconLabels(DesktopMirror& mirror);

// Teardown, before the registry: the icon animations, then the icon records.
void DestroyIconAnimationsAndRecords(DesktopMirror& mirror);
// Teardown, after the font: what is left of the capture.
void ReleaseDesktopCapture(DesktopMirror& mirror);
