// Icon textures and their animations.
#include "desktop/icon_images.h"

#include "render/asset_registry.h"
#include "render/sprite_renderer.h"
#include "render/sprite_animation.h"

#include <glad/gl.h>

std::string IconTextureName(std::size_t index) { return "desktop_icon_" + std::to_string(index); }

std::vector<std::unique_ptr<SpriteAnimation>> CreateIconAnimations(std::vector<DesktopIcon>& icons,
                                                                   AssetRegistry& registry,
                                                                   FrameStripRenderer* iconRenderer) {
    std::vector<std::unique_ptr<SpriteAnimation>> animations;
    animations.reserve(icons.size());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);  // RGBA rows are always 4-byte aligned
    for (std::size_t i = 0; i < icons.size(); ++i) {
        DesktopIcon& icon = icons[i];
        auto animation = std::make_unique<SpriteAnimation>(
            Vec2{static_cast<float>(icon.width), static_cast<float>(icon.height)}, Color{1.0f, 1.0f, 1.0f});
        animation->renderers[0] = iconRenderer;

        const std::int32_t width = icon.image.width, height = icon.image.height;
        const std::vector<unsigned char>& pixels = icon.image.pixels;
        auto texture = std::make_unique<Texture>();
        texture->internalFormat = GL_RGBA;
        texture->imageFormat = GL_RGBA;
        if (width > 0 && height > 0 && pixels.size() >= static_cast<std::size_t>(width) * height * 4) {
            texture->Upload(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), pixels.data());
        } else {
            // Nothing readable: one transparent pixel, so the icon shows the wallpaper, not
            // whatever an uninitialised texture holds.
            const unsigned char transparent[4] = {0, 0, 0, 0};
            texture->Upload(1, 1, transparent);
        }
        animation->textures[0][0] = registry.StoreTexture(IconTextureName(i), std::move(texture));

        icon.image = RgbaImage{};
        animations.push_back(std::move(animation));
    }
    return animations;
}

void DrawIcons(const std::vector<DesktopIcon>& icons,
               const std::vector<std::unique_ptr<SpriteAnimation>>& iconAnimations, float deltaTime) {
    const std::size_t count = std::min(icons.size(), iconAnimations.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (!iconAnimations[i]) continue;
        const Vec2 position{static_cast<float>(icons[i].position.x), static_cast<float>(icons[i].position.y)};
        float elapsed = 0.0f;
        iconAnimations[i]->Draw(deltaTime, 0, 0, position, 1, elapsed);
    }
}
