// Wallpaper decoding: stb_image for PNG, as for every other image of the program, then the
// platform's decoder; whatever comes out is converted once into the upload's layout, and an
// already fitting RGB image is uploaded from the decoder's own buffer without a copy.
#include "desktop/wallpaper_image.h"

#include <stb/stb_image.h>
#include <sys/stat.h>

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

// Decodes with stb_image at the file's own channel count; none when it is not an image stb_image
// reads or is too large to decode.
WallpaperPixels DecodeWithStb(const std::string& path, std::uint32_t maxSide, Color backdrop) {
    WallpaperPixels result;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return result;
    int width = 0, height = 0, channels = 0;
    // The header first: the size decides whether decoding is affordable at all.
    const bool known = stbi_info_from_file(file, &width, &height, &channels) != 0;
    unsigned char* pixels = nullptr;
    if (known && width > 0 && height > 0 &&
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <= MaxWallpaperPixels)
        pixels = stbi_load_from_file(file, &width, &height, &channels, 0);
    std::fclose(file);
    if (pixels == nullptr) return result;

    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);
    if (IsUploadReady(w, h, channels, maxSide)) {
        result.width = w;
        result.height = h;
        result.decoded = {pixels, stbi_image_free};
        result.data = pixels;
        result.fromImage = true;
        return result;
    }
    const std::size_t bytes = static_cast<std::size_t>(w) * h * static_cast<std::size_t>(channels);
    result = Converted(PrepareWallpaper(pixels, bytes, w, h, channels, maxSide, backdrop));
    stbi_image_free(pixels);
    if (result.converted.empty()) return WallpaperPixels{};
    return result;
}

}  // namespace

WallpaperPixels LoadWallpaperPixels(const std::string& path, DesktopShell& shell, std::uint32_t maxSide,
                                    std::int32_t fitWidth, std::int32_t fitHeight, const Backdrop& backdrop) {
    const auto fallback = [&] { return Plain(backdrop, maxSide, fitWidth, fitHeight); };
    if (path.empty() || maxSide == 0) return fallback();
    // Only regular files: a FIFO or a device would block or never end.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return fallback();

    WallpaperPixels decoded = DecodeWithStb(path, maxSide, backdrop.color);
    if (decoded.data != nullptr) return decoded;

    const auto limit = static_cast<std::int32_t>(std::min<std::uint32_t>(maxSide, INT32_MAX));
    std::optional<RgbaImage> image =
        shell.DecodeImageFile(path, std::clamp(fitWidth, 1, limit), std::clamp(fitHeight, 1, limit));
    if (image && image->width > 0 && image->height > 0) {
        RgbUpload upload = PrepareWallpaper(image->pixels.data(), image->pixels.size(),
                                            static_cast<std::uint32_t>(image->width),
                                            static_cast<std::uint32_t>(image->height), 4, maxSide, backdrop.color);
        if (!upload.pixels.empty()) return Converted(std::move(upload));
    }
    return fallback();
}
