// The wallpaper file turned into pixels ready for the "background" texture, without GL: decoded
// with stb_image at its own channel count when it is a PNG (the platform's decoder for every
// other format), brought to RGB rows on 4-byte boundaries and fitted into the texture size limit.
#pragma once

#include "desktop/image_pixels.h"
#include "desktop/desktop_capture.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The slate blue-grey every frame is cleared to: what shows where nothing else is known.
inline constexpr Color ClearColor{0.2f, 0.25f, 0.3f};

// Images with more pixels than this are not decoded: they would need gigabytes on the way to a
// texture that is scaled to the screen anyway.
inline constexpr std::uint64_t MaxWallpaperPixels = 200ull * 1000 * 1000;
// Nor are picture files larger than this read at all.
inline constexpr std::uint64_t MaxWallpaperBytes = 256ull << 20;

struct WallpaperPixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    const unsigned char* data = nullptr;  // GL_RGB rows, each starting on a 4-byte boundary
    bool fromImage = false;               // false: the backdrop's plain colour or gradient

    // Whichever of these holds the pixels data points into.
    std::unique_ptr<unsigned char, void (*)(void*)> decoded{nullptr, nullptr};
    std::vector<unsigned char> converted;
};

// What the desktop shows where there is no picture: its colour, or a gradient when it has one.
// A transparent picture is composed over the colour.
struct Backdrop {
    Backdrop(Color color, std::optional<ColorGradient> gradient = std::nullopt) : color(color), gradient(gradient) {}
    Color color;
    std::optional<ColorGradient> gradient;
};

// Decodes what the built-in decoder does not: bytes, fit width, fit height (DecodeWithPlatform
// in the show; tests script their own).
using PictureDecoder = std::function<std::optional<RgbaImage>(const std::string&, std::int32_t, std::int32_t)>;

// Reads the image at path. maxSide is the GL texture size limit; fitWidth x fitHeight the screen
// size vector images are rasterised at. Falls back to the backdrop (a single pixel of its colour,
// or its gradient one texel a screen pixel) for an empty path, a file that is missing, not a
// regular file, too large or undecodable.
WallpaperPixels LoadWallpaperPixels(const std::string& path, const PictureDecoder& decode, std::uint32_t maxSide,
                                    std::int32_t fitWidth, std::int32_t fitHeight, const Backdrop& backdrop);
