// Images in CPU memory, apart from any GPU texture: an owned 8-bit RGBA picture, and a decoder's
// output at its own channel count, freed the way the decoder allocated it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

// 8-bit RGBA pixels, top row first, rows packed without gaps.
struct RgbaImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<unsigned char> pixels;
};

// width x height x channels bytes, top row first, rows packed; pixels is null when decoding failed.
struct DecodedImage {
    struct FreeWithDecoder {
        void operator()(unsigned char* pixels) const;
    };

    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int channels = 0;
    std::unique_ptr<unsigned char, FreeWithDecoder> pixels;

    explicit operator bool() const { return pixels != nullptr; }
};

// Decodes a PNG from memory, converted to the given channel count (0: the image's own). An empty
// result when the bytes are not a whole PNG (every chunk within them, up to IEND) or do not decode.
DecodedImage DecodeImageBytes(const unsigned char* bytes, std::size_t size, int channels);
