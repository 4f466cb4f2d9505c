// Pixel conversions for the icon and wallpaper textures.
#include "desktop/image_pixels.h"

#include <algorithm>
#include <cmath>

void SwapRedAndBlue(unsigned char* pixels, std::size_t byteCount) {
    for (std::size_t i = 0; i + 3 < byteCount; i += 4) std::swap(pixels[i], pixels[i + 2]);
}

std::size_t AlignedRgbRowBytes(std::uint32_t width) {
    return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
}

bool IsUploadReady(std::uint32_t width, std::uint32_t height, int channels, std::uint32_t maxSide) {
    return channels == 3 && width <= maxSide && height <= maxSide && (static_cast<std::size_t>(width) * 3) % 4 == 0;
}

namespace {

unsigned char ToByte(float value) {
    return static_cast<unsigned char>(std::clamp(std::lround(value * 255.0f), 0L, 255L));
}

// One source pixel as RGB over the backdrop, each channel 0..255 as float.
struct Rgb {
    float r, g, b;
};

Rgb ReadPixel(const unsigned char* p, int channels, const Rgb& backdrop) {
    switch (channels) {
        case 1: return {float(p[0]), float(p[0]), float(p[0])};
        case 2: {
            const float a = p[1] / 255.0f;
            return {p[0] * a + backdrop.r * (1 - a), p[0] * a + backdrop.g * (1 - a), p[0] * a + backdrop.b * (1 - a)};
        }
        case 3: return {float(p[0]), float(p[1]), float(p[2])};
        default: {
            const float a = p[3] / 255.0f;
            return {p[0] * a + backdrop.r * (1 - a), p[1] * a + backdrop.g * (1 - a), p[2] * a + backdrop.b * (1 - a)};
        }
    }
}

unsigned char Round(float value) { return static_cast<unsigned char>(std::clamp(value + 0.5f, 0.0f, 255.0f)); }

}  // namespace

RgbUpload PlainWallpaper(Color color) {
    RgbUpload upload;
    upload.width = 1;
    upload.height = 1;
    upload.pixels = {ToByte(color.r), ToByte(color.g), ToByte(color.b), 0};
    return upload;
}

RgbUpload GradientWallpaper(const ColorGradient& gradient, std::uint32_t width, std::uint32_t height) {
    const bool vertical = gradient.direction == GradientDirection::Vertical;
    const std::uint32_t steps = std::max<std::uint32_t>(vertical ? height : width, 1);
    RgbUpload upload;
    upload.width = vertical ? 1 : steps;
    upload.height = vertical ? steps : 1;
    const std::size_t rowBytes = AlignedRgbRowBytes(upload.width);
    upload.pixels.assign(rowBytes * upload.height, 0);
    for (std::uint32_t i = 0; i < steps; ++i) {
        const float along = (static_cast<float>(i) + 0.5f) / static_cast<float>(steps);
        const float ratio =
            gradient.ramp == GradientRamp::EdgeToEdge ? along : std::clamp(2.0f * along - 0.5f, 0.0f, 1.0f);
        const auto mix = [ratio](float from, float to) { return ToByte(from + (to - from) * ratio); };
        unsigned char* pixel = upload.pixels.data() + (vertical ? i * rowBytes : i * 3u);
        pixel[0] = mix(gradient.first.r, gradient.second.r);
        pixel[1] = mix(gradient.first.g, gradient.second.g);
        pixel[2] = mix(gradient.first.b, gradient.second.b);
    }
    return upload;
}

RgbUpload PrepareWallpaper(const unsigned char* pixels, std::size_t byteCount, std::uint32_t width,
                           std::uint32_t height, int channels, std::uint32_t maxSide, Color backdrop) {
    RgbUpload upload;
    if (pixels == nullptr || width == 0 || height == 0 || channels < 1 || channels > 4 || maxSide == 0) return upload;
    const std::size_t sourceRow = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    if (sourceRow / static_cast<std::size_t>(channels) != width || byteCount / sourceRow < height) return upload;

    const Rgb back{backdrop.r * 255.0f, backdrop.g * 255.0f, backdrop.b * 255.0f};
    upload.width = std::min(width, maxSide);
    upload.height = std::min(height, maxSide);
    const std::size_t row = AlignedRgbRowBytes(upload.width);
    upload.pixels.assign(row * upload.height, 0);

    if (upload.width == width && upload.height == height) {
        for (std::uint32_t y = 0; y < height; ++y) {
            const unsigned char* source = pixels + y * sourceRow;
            unsigned char* target = upload.pixels.data() + y * row;
            if (channels == 3) {
                std::copy(source, source + sourceRow, target);
                continue;
            }
            for (std::uint32_t x = 0; x < width; ++x) {
                const Rgb c = ReadPixel(source + x * channels, channels, back);
                target[x * 3] = Round(c.r);
                target[x * 3 + 1] = Round(c.g);
                target[x * 3 + 2] = Round(c.b);
            }
        }
        return upload;
    }

    // Area average: target pixel (x, y) covers source columns [x*w/W, (x+1)*w/W) and the rows
    // likewise; every source pixel falls in exactly one target pixel.
    std::vector<std::uint32_t> columnStart(upload.width + 1);
    for (std::uint32_t x = 0; x <= upload.width; ++x)
        columnStart[x] = static_cast<std::uint32_t>(static_cast<std::uint64_t>(x) * width / upload.width);
    std::vector<float> sums(static_cast<std::size_t>(upload.width) * 3);
    for (std::uint32_t y = 0; y < upload.height; ++y) {
        const auto rowBegin = static_cast<std::uint32_t>(static_cast<std::uint64_t>(y) * height / upload.height);
        const auto rowEnd = static_cast<std::uint32_t>(static_cast<std::uint64_t>(y + 1) * height / upload.height);
        std::fill(sums.begin(), sums.end(), 0.0f);
        for (std::uint32_t sy = rowBegin; sy < rowEnd; ++sy) {
            const unsigned char* source = pixels + sy * sourceRow;
            for (std::uint32_t x = 0; x < upload.width; ++x) {
                float* sum = &sums[x * 3];
                for (std::uint32_t sx = columnStart[x]; sx < columnStart[x + 1]; ++sx) {
                    const Rgb c = ReadPixel(source + static_cast<std::size_t>(sx) * channels, channels, back);
                    sum[0] += c.r;
                    sum[1] += c.g;
                    sum[2] += c.b;
                }
            }
        }
        unsigned char* target = upload.pixels.data() + y * row;
        for (std::uint32_t x = 0; x < upload.width; ++x) {
            const float area = float(rowEnd - rowBegin) * float(columnStart[x + 1] - columnStart[x]);
            for (int c = 0; c < 3; ++c) target[x * 3 + c] = Round(sums[x * 3 + c] / area);
        }
    }
    return upload;
}
