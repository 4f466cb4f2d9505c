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

// ---- Icon images ----------------------------------------------------------------------------

PixelSize FitKeepingAspect(std::int32_t width, std::int32_t height, std::int32_t boxWidth, std::int32_t boxHeight) {
    if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return {};
    PixelSize size;
    if (double(height) * boxWidth > double(width) * boxHeight) {
        size.width = static_cast<std::int32_t>(0.5 + double(width) * boxHeight / height);
        size.height = boxHeight;
    } else {
        size.width = boxWidth;
        size.height = static_cast<std::int32_t>(0.5 + double(height) * boxWidth / width);
    }
    size.width = std::max(size.width, 1);
    size.height = std::max(size.height, 1);
    return size;
}

namespace {

// Which source pixels make target pixel i along one axis of n source pixels resampled to m, and
// with what weight (the weights of one target pixel add up to 1).
struct Tap {
    std::int32_t source;
    float weight;
};

std::vector<std::vector<Tap>> AxisTaps(std::int32_t n, std::int32_t m) {
    std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(m));
    const double scale = double(n) / m;
    for (std::int32_t i = 0; i < m; ++i) {
        std::vector<Tap>& tap = taps[static_cast<std::size_t>(i)];
        if (scale >= 1.0) {
            // Shrinking: the share of each source pixel that target pixel i covers.
            const double begin = i * scale, end = (i + 1) * scale;
            for (auto j = static_cast<std::int32_t>(begin); j < n && j < end; ++j) {
                const double covered = std::min<double>(j + 1, end) - std::max<double>(j, begin);
                if (covered > 0) tap.push_back({j, static_cast<float>(covered / scale)});
            }
        } else {
            // Growing: between the two nearest source pixels' centres.
            const double centre = (i + 0.5) * scale - 0.5;
            const auto left = static_cast<std::int32_t>(std::floor(centre));
            const auto fraction = static_cast<float>(centre - left);
            tap.push_back({std::clamp(left, 0, n - 1), 1.0f - fraction});
            tap.push_back({std::clamp(left + 1, 0, n - 1), fraction});
        }
    }
    return taps;
}

}  // namespace

RgbaImage ResizeRgba(const RgbaImage& image, std::int32_t width, std::int32_t height) {
    RgbaImage result;
    if (image.width <= 0 || image.height <= 0 || width <= 0 || height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4)
        return result;
    if (width == image.width && height == image.height) return image;

    // Rows first into premultiplied floats, then columns, then back to straight alpha.
    const auto columns = AxisTaps(image.width, width);
    const auto rows = AxisTaps(image.height, height);
    std::vector<float> across(static_cast<std::size_t>(width) * static_cast<std::size_t>(image.height) * 4, 0.0f);
    for (std::int32_t y = 0; y < image.height; ++y) {
        const unsigned char* source = image.pixels.data() + static_cast<std::size_t>(y) * image.width * 4;
        float* target = across.data() + static_cast<std::size_t>(y) * width * 4;
        for (std::int32_t x = 0; x < width; ++x) {
            float* out = target + static_cast<std::size_t>(x) * 4;
            for (const Tap& tap : columns[static_cast<std::size_t>(x)]) {
                const unsigned char* p = source + static_cast<std::size_t>(tap.source) * 4;
                const float alpha = p[3] * tap.weight;
                out[0] += p[0] * alpha;
                out[1] += p[1] * alpha;
                out[2] += p[2] * alpha;
                out[3] += alpha;
            }
        }
    }
    result.width = width;
    result.height = height;
    result.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (const Tap& tap : rows[static_cast<std::size_t>(y)]) {
                const float* p = across.data() + (static_cast<std::size_t>(tap.source) * width + x) * 4;
                for (int c = 0; c < 4; ++c) sum[c] += p[c] * tap.weight;
            }
            unsigned char* out = result.pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4;
            if (sum[3] <= 0.0f) {
                out[0] = out[1] = out[2] = out[3] = 0;
                continue;
            }
            for (int c = 0; c < 3; ++c) out[c] = Round(sum[c] / sum[3]);
            out[3] = Round(sum[3]);
        }
    }
    return result;
}
