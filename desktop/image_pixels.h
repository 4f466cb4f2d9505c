// Pixel conversions between what the platform or the decoder hands over and what the textures
// upload: the BGRA-to-RGBA swap of captured icons, and the wallpaper brought to 3-byte RGB rows
// on 4-byte boundaries (the upload's unpack alignment), fitted into the GL size limit.
#pragma once

#include "core/geometry.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Exchanges bytes 0 and 2 of every 4-byte pixel (B, G, R, A becomes R, G, B, A). A trailing
// partial pixel is left alone.
void SwapRedAndBlue(unsigned char* pixels, std::size_t byteCount);

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

// True when the decoded image already has the upload's layout, so it can be uploaded as it is.
bool IsUploadReady(std::uint32_t width, std::uint32_t height, int channels, std::uint32_t maxSide);
