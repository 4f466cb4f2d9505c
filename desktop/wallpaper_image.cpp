// Wallpaper decoding: stb_image for PNG, as for every other image of the program, then the
// platform's decoder; whatever comes out is converted once into the upload's layout, and an
// already fitting RGB image is uploaded from the decoder's own buffer without a copy.
#include "desktop/wallpaper_image.h"

#include "core/file_bytes.h"
#include "core/rgba_image.h"

#include <stb/stb_image.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <optional>

namespace {

WallpaperPixels Plain(const Backdrop& backdrop, std::uint32_t maxSide, std::int32_t fitWidth, std::int32_t fitHeight) {
    WallpaperPixels result;
    const auto side = [maxSide](std::int32_t fit) {
        return static_cast<std::uint32_t>(std::clamp<std::int64_t>(fit, 1, std::max<std::uint32_t>(maxSide, 1)));
    };
    RgbUpload plain = backdrop.gradient ? GradientWallpaper(*backdrop.gradient, side(fitWidth), side(fitHeight))
                                        : PlainWallpaper(backdrop.color);
    result.width = plain.width;
    result.height = plain.height;
    result.converted = std::move(plain.pixels);
    result.data = result.converted.data();
    return result;
}

WallpaperPixels Converted(RgbUpload upload) {
    WallpaperPixels result;
    result.width = upload.width;
    result.height = upload.height;
    result.converted = std::move(upload.pixels);
    result.data = result.converted.data();
    result.fromImage = true;
    return result;
}

// Decodes a PNG with stb_image at the file's own channel count; none when it is not a PNG or too
// large to decode for a screen of fitWidth x fitHeight.
WallpaperPixels DecodePng(const std::string& text, std::uint32_t maxSide, std::int32_t fitWidth,
                          std::int32_t fitHeight, Color backdrop) {
    WallpaperPixels result;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    if (text.size() > static_cast<std::size_t>(INT_MAX)) return result;
    int width = 0, height = 0, channels = 0;
    // The header first: the size decides whether decoding is affordable at all.
    if (stbi_info_from_memory(bytes, static_cast<int>(text.size()), &width, &height, &channels) == 0 ||
        width <= 0 || height <= 0)
        return result;
    const std::uint64_t screen = std::uint64_t(std::max(fitWidth, 1)) * std::uint64_t(std::max(fitHeight, 1));
    const std::uint64_t budget = std::min<std::uint64_t>(MaxWallpaperPixels, std::max<std::uint64_t>(16 * screen, 1u << 24));
    if (std::uint64_t(width) * std::uint64_t(height) > budget) return result;
    DecodedImage image = DecodeImageBytes(bytes, text.size(), 0);
    if (!image) return result;

    const std::uint32_t w = image.width, h = image.height;
    if (IsUploadReady(w, h, image.channels, maxSide)) {
        result.width = w;
        result.height = h;
        result.decoded = {image.pixels.release(), stbi_image_free};
        result.data = result.decoded.get();
        result.fromImage = true;
        return result;
    }
    const std::size_t size = std::size_t{w} * h * static_cast<std::size_t>(image.channels);
    result = Converted(PrepareWallpaper(image.pixels.get(), size, w, h, image.channels, maxSide, backdrop));
    if (result.converted.empty()) return WallpaperPixels{};
    return result;
}

}  // namespace

WallpaperPixels LoadWallpaperPixels(const std::string& path, const PictureDecoder& decode, std::uint32_t maxSide,
                                    std::int32_t fitWidth, std::int32_t fitHeight, const Backdrop& backdrop) {
    const auto fallback = [&] { return Plain(backdrop, maxSide, fitWidth, fitHeight); };
    if (path.empty() || maxSide == 0) return fallback();
    // Read once, and only a regular file (checked on the open file, so a picture swapped for a
    // FIFO or a device is refused where it counts); every decoder gets these bytes.
    const std::optional<std::string> bytes = ReadRegularFile(path, MaxWallpaperBytes);
    if (!bytes || bytes->empty()) return fallback();
    WallpaperPixels decoded = DecodePng(*bytes, maxSide, fitWidth, fitHeight, backdrop.color);
    if (decoded.data != nullptr) return decoded;

    const auto limit = static_cast<std::int32_t>(std::min<std::uint32_t>(maxSide, INT32_MAX));
    std::optional<RgbaImage> image;
    if (decode) image = decode(*bytes, std::clamp(fitWidth, 1, limit), std::clamp(fitHeight, 1, limit));
    if (image && image->width > 0 && image->height > 0) {
        RgbUpload upload = PrepareWallpaper(image->pixels.data(), image->pixels.size(),
                                            static_cast<std::uint32_t>(image->width),
                                            static_cast<std::uint32_t>(image->height), 4, maxSide, backdrop.color);
        if (!upload.pixels.empty()) return Converted(std::move(upload));
    }
    return fallback();
}
