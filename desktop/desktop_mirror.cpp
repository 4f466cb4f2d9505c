// The desktop mirror's steps in start-up, frame and teardown.
#include "desktop/desktop_mirror.h"

#include "desktop/icon_images.h"
#include "render/glyph_font.h"
#include "render/sprite_animation.h"

bool CaptureDesktop(DesktopMirror& mirror) {
    std::optional<CapturedDesktop> desktop = CaptureDesktop();
    if (!desktop) return false;
    mirror.desktopIcons = std::move(desktop->icons);
    mirror.wallpaper = std::move(desktop->wallpaper);
    mirror.iconAnimations.reserve(mirror.desktopIcons.size());
    return true;
}

void CreateDesktopBackground(DesktopMirror& mirror, AssetRegistry& registry, int screenWidth, int screenHeight) {
    mirror.background = CreateBackground(registry, mirror.wallpaper, screenWidth, screenHeight);
}

void CreateDesktopIconAnimations(DesktopMirror& mirror, AssetRegistry& registry, FrameStripRenderer* iconRenderer) {
    mirror.iconAnimations = CreateIconAnimations(mirror.desktopIcons, registry, iconRenderer);
}

void UseLabelFont(DesktopMirror& mirror, GlyphFont& font, const GlyphRenderer& renderer) {
    mirror.font = &font;
    mirror.glyphRenderer = &renderer;
    // Advances as MeasureText gives them, one code unit at a time (it loads missing glyphs).
    mirror.advances = std::make_unique<GlyphAdvanceTable>(
        [&font](char16_t code) { return MeasureText(font, std::u16string_view(&code, 1)); });
}

void DrawIconLabels(DesktopMirror& mirror) {
    if (mirror.font == nullptr || mirror.glyphRenderer == nullptr || !mirror.advances) return;
    for (const DesktopIcon& icon : mirror.desktopIcons) {
        const LabelPlacement label = PlaceLabel(*mirror.advances, icon);
        DrawText(*mirror.glyphRenderer, *mirror.font, label.text, label.position, Color{1.0f, 1.0f, 1.0f});
    }
}

void DrawDesktop(DesktopMirror& mirror, float deltaTime) {
    if (mirror.background) DrawBackground(*mirror.background);
    DrawIcons(mirror.desktopIcons, mirror.iconAnimations, deltaTime);
    DrawIconLabels(mirror);
}

void DestroyIconAnimationsAndRecords(DesktopMirror& mirror) {
    for (auto& animation : mirror.iconAnimations) animation.reset();
    mirror.iconAnimations.clear();
    mirror.desktopIcons.clear();
}

void ReleaseDesktopCapture(DesktopMirror& mirror) {
    mirror.desktopIcons.clear();
    mirror.wallpaper = WallpaperSetting{};
    mirror.advances.reset();
    mirror.font = nullptr;
    mirror.glyphRenderer = nullptr;
}
