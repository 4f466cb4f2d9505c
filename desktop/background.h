// The wallpaper as the backdrop of every frame: the "background" texture on a clip-space quad
// that covers the whole window, drawn first after the clear.
#pragma once

#include "render/gl_object.h"

#include <array>
#include <cstdint>
#include <memory>

struct AssetRegistry;
struct ShaderProgram;
struct Texture;
struct WallpaperSetting;

// Six vertices (x, y, u, v) in clip space, v = 0 at the top of the screen.
inline constexpr std::array<float, 24> ScreenQuad = {
    -1.0f, 1.0f,  0.0f, 0.0f,
    -1.0f, -1.0f, 0.0f, 1.0f,
    1.0f,  -1.0f, 1.0f, 1.0f,
    -1.0f, 1.0f,  0.0f, 0.0f,
    1.0f,  -1.0f, 1.0f, 1.0f,
    1.0f,  1.0f,  1.0f, 0.0f,
};

struct Background {
    ShaderProgram* program = nullptr;  // the registry's "quad"
    Texture* texture = nullptr;        // the registry's "background"
    VertexArray vao;  // the screen quad, deleted with the background
};

// Reads the wallpaper the desktop set, registers it as "background" (always with defined
// contents: the desktop's plain colour or the clear colour when there is no usable image) and
// builds the quad. Needs the context, the registry and its "quad" program.
std::unique_ptr<Background> CreateBackground(AssetRegistry& registry, const WallpaperSetting& wallpaper,
                                             int screenWidth, int screenHeight);

void DrawBackground(const Background& background);
