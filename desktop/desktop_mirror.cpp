// The desktop mirror's steps in start-up, frame and teardown.
#include "desktop/desktop_mirror.h"

#include "desktop/icon_images.h"
#include "render/glyph_font.h"
#include "render/sprite_animation.h"

bool CaptureDesktop(DesktopMirror& mirror) {
    mirror.shell = CreateDesktopShell();
    std::optional<std::vector<DesktopIcon>> icons = CaptureDesktopIcons(*mirror.shell);
    if (!icons) return false;
    mirror.desktopIcons = std::move(*icons);
    mirror.iconAnimations.reserve(mirror.desktopIcons.size());
    return true;
}

void CreateDesktopBackground(DesktopMirror& mirror, AssetRegistry& registry, int screenWidth, int screenHeight) {
    if (!mirror.shell) return;
    mirror.background = CreateBackground(registry, *mirror.shell, screenWidth, screenHeight);
}

void CreateDesktopIconAnimations(DesktopMirror& mirror, AssetRegistry& registry, FrameStripRenderer* iconRenderer) {
    if (!mirror.shell) return;
    mirror.iconAnimations = CreateIconAnimations(mirror.desktopIcons, registry, iconRenderer, *mirror.shell);
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
    if (mirror.shell) ReleaseDesktopIcons(*mirror.shell, mirror.desktopIcons);
    mirror.desktopIcons.clear();
}

void ReleaseDesktopCapture(DesktopMirror& mirror) {
    if (mirror.shell && !mirror.desktopIcons.empty()) ReleaseDesktopIcons(*mirror.shell, mirror.desktopIcons);
    mirror.advances.reset();
    mirror.font = nullptr;
    mirror.glyphRenderer = nullptr;
    mirror.shell.reset();
}
