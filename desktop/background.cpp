// The wallpaper texture and its full-screen quad.
#include "desktop/background.h"

#include "desktop/desktop_capture.h"
#include "desktop/wallpaper_image.h"
#include "render/asset_registry.h"

#include <glad/gl.h>

#include <algorithm>

std::unique_ptr<Background> CreateBackground(AssetRegistry& registry, const WallpaperSetting& wallpaper,
                                             int screenWidth, int screenHeight) {
    auto background = std::make_unique<Background>();
    const Backdrop backdrop(wallpaper.color.value_or(ClearColor), wallpaper.gradient);

    auto texture = std::make_unique<Texture>();
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    const WallpaperPixels pixels = LoadWallpaperPixels(wallpaper.path, DecodeWithPlatform, static_cast<std::uint32_t>(std::max(maxSide, 1)),
                                                       screenWidth, screenHeight, backdrop);
    // Rows start on 4-byte boundaries, the unpack alignment every upload but the glyphs' uses.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    texture->Upload(pixels.width, pixels.height, pixels.data);
    background->texture = registry.StoreTexture("background", std::move(texture));
    background->program = registry.Program("quad");

    GLuint vao = 0, buffer = 0;
    glGenVertexArrays(1, &vao);
    background->vao = VertexArray(vao);
    glGenBuffers(1, &buffer);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(ScreenQuad), ScreenQuad.data(), GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(float), reinterpret_cast<const void*>(2 * sizeof(float)));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    // The array keeps the buffer alive; dropping our name lets it go with the array.
    glDeleteBuffers(1, &buffer);
    return background;
}

void DrawBackground(const Background& background) {
    if (background.program == nullptr || background.texture == nullptr) return;
    glUseProgram(background.program->id);
    glBindTexture(GL_TEXTURE_2D, background.texture->id);
    glBindVertexArray(background.vao.id);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glBindVertexArray(0);
}
