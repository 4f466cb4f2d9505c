// Icon and picture files decoded without trusting them: each file is read once, bounded; PNG is
// decoded here by the built-in decoder, every other format by the system's image loaders in a
// decoding child with a deadline and a memory cap.
#pragma once

#include "core/rgba_image.h"

#include <cstdint>
#include <optional>
#include <string>

// Decodes an icon file to RGBA fitted into size x size keeping its shape: PNG with the built-in
// decoder, SVG and XPM by the system's loaders in a decoding child given at most seconds. None
// for missing, unreadable, oversized, corrupt or slow files, and files of other formats.
std::optional<RgbaImage> LoadIconImage(const std::string& path, std::int32_t size, double seconds);

// Decodes a picture's bytes in any format the system's image loaders read, in a decoding child
// given at most seconds: a vector image rasterised at fitWidth x fitHeight, a larger one scaled
// down into it. None when it cannot.
std::optional<RgbaImage> DecodeWithImageLoaders(const std::string& bytes, std::int32_t fitWidth, std::int32_t fitHeight,
                                                double seconds);
