// Pixel conversions between what the platform or the decoder hands over and what the textures
// upload: the BGRA-to-RGBA swap of captured icons, icon images fitted to the desktop's icon size,
// and the wallpaper brought to 3-byte RGB rows on 4-byte boundaries (the upload's unpack
// alignment), fitted into the GL size limit.
#pragma once

#include "core/geometry.h"
#include "core/rgba_image.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Exchanges bytes 0 and 2 of every 4-byte pixel (B, G, R, A becomes R, G, B, A). A trailing
// partial pixel is left alone.
void SwapRedAndBlue(unsigned char* pixels, std::size_t byteCount);

// The size of a width x height image fitted into a box keeping its shape, as the desktops' image
// loaders fit icons: the side that limits fills the box, the other rounds to the nearest pixel,
// at least 1. Zero for an empty image or box.
struct PixelSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
PixelSize FitKeepingAspect(std::int32_t width, std::int32_t height, std::int32_t boxWidth, std::int32_t boxHeight);

// The image resampled to width x height: averaged over the area each pixel covers where it
// shrinks, interpolated between neighbours where it grows, with colours weighted by their alpha
// (so transparent pixels lend no colour to the edges). Empty for an empty or inconsistent image
// or size.
RgbaImage ResizeRgba(const RgbaImage& image, std::int32_t width, std::int32_t height);

// Bytes from one row of 3-byte pixels to the next under an unpack alignment of 4.
std::size_t AlignedRgbRowBytes(std::uint32_t width);

// A wallpaper ready for the GL_RGB upload: rows of width * 3 bytes padded to 4-byte boundaries.
struct RgbUpload {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<unsigned char> pixels;
};

// Brings decoded pixels of any channel count (1 grey, 2 grey + alpha, 3 RGB, 4 RGBA; rows packed
// without gaps, top row first) to the upload's layout, scaled down by area averaging so that no
// side exceeds maxSide. Alpha is composed over backdrop, as a desktop draws a transparent image
// over its background colour. Empty pixels when the input is unusable (no size, a channel count
// outside 1..4, or fewer bytes than the size says).
RgbUpload PrepareWallpaper(const unsigned char* pixels, std::size_t byteCount, std::uint32_t width,
                           std::uint32_t height, int channels, std::uint32_t maxSide, Color backdrop);

// A one-pixel wallpaper of a plain colour, for when there is no usable image.
RgbUpload PlainWallpaper(Color color);

// A desktop shaded from one colour to another where it shows no picture: from top to bottom
// (Vertical) or from left to right (Horizontal). Most desktops blend across the whole screen
// (EdgeToEdge); a compositor that stretches a two-texel texture keeps each colour flat over the
// outer quarter and blends across the middle half (MiddleHalf).
enum class GradientDirection { Vertical, Horizontal };
enum class GradientRamp { EdgeToEdge, MiddleHalf };
struct ColorGradient {
    Color first;   // at the top or the left
    Color second;  // at the bottom or the right
    GradientDirection direction = GradientDirection::Vertical;
    GradientRamp ramp = GradientRamp::EdgeToEdge;
};

// The gradient as one column of height pixels (Vertical) or one row of width pixels
// (Horizontal), one texel a screen pixel when stretched over width x height. Pixel i of n sits
// at t = (i + 0.5) / n and takes the colour t of the way from first to second (EdgeToEdge), or
// clamp(2t - 0.5, 0, 1) of the way (MiddleHalf). A side of 0 counts as 1.

RgbUpload GradientWallpaper(const ColorGradient& gradient, std::uint32_t width, std::uint32_t height);

// True when the decoded image already has the upload's layout, so it can be uploaded as it is.
bool IsUploadReady(std::uint32_t width, std::uint32_t height, int channels, std::uint32_t maxSide);
