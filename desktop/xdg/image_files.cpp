// Icon and picture files decoded without trusting them: each file is read once, bounded; PNG is
// decoded here by the built-in decoder, every other format by the system's image loaders in a
// decoding child (child_process.h) with a deadline and a memory cap.
#include "desktop/xdg/image_files.h"

#include "core/file_bytes.h"
#include "desktop/image_pixels.h"
#include "desktop/xdg/child_process.h"
#include "desktop/xdg/reading_limits.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <stb/stb_image.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

using namespace reading_limits;

bool IsPng(const std::string& bytes) {
    return bytes.size() >= 8 && std::memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8) == 0;
}

std::optional<RgbaImage> ToRgba(GdkPixbuf* pixbuf) {
    if (pixbuf == nullptr) return std::nullopt;
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    if (width <= 0 || height <= 0 || gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || (channels != 3 && channels != 4))
        return std::nullopt;
    const guchar* source = gdk_pixbuf_read_pixels(pixbuf);
    RgbaImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        const guchar* row = source + static_cast<std::size_t>(y) * stride;
        unsigned char* target = image.pixels.data() + static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            target[x * 4] = row[x * channels];
            target[x * 4 + 1] = row[x * channels + 1];
            target[x * 4 + 2] = row[x * channels + 2];
            target[x * 4 + 3] = channels == 4 ? row[x * channels + 3] : 255;
        }
    }
    return image;
}

// ---- In the decoding child --------------------------------------------------------------------

// How the loader's image is to be fitted, decided once it knows the image's format and size.
struct LoaderFit {
    std::int32_t width;
    std::int32_t height;
    bool icon;  // into width x height keeping the shape, icon formats only; else a picture
};

bool IsIconFormat(GdkPixbufFormat* format) {
    gchar* name = gdk_pixbuf_format_get_name(format);
    const bool icon = name != nullptr && (std::strcmp(name, "png") == 0 || std::strcmp(name, "svg") == 0 ||
                                          std::strcmp(name, "xpm") == 0);
    g_free(name);
    return icon;
}

// The loader's size-prepared handler. Only ever runs in the decoding child, which simply ends
// when the image is not to be decoded: a loader would go on to allocate for it otherwise.
void FitOnceSized(GdkPixbufLoader* loader, gint width, gint height, gpointer data) {
    const LoaderFit& fit = *static_cast<const LoaderFit*>(data);
    GdkPixbufFormat* format = gdk_pixbuf_loader_get_format(loader);
    const bool scalable = format != nullptr && gdk_pixbuf_format_is_scalable(format);
    if (format == nullptr || width <= 0 || height <= 0 || (fit.icon && !IsIconFormat(format))) _exit(2);
    if (!scalable && 1LL * width * height > (fit.icon ? MaxIconPixels : MaxPicturePixels)) _exit(2);
    if (fit.icon) {
        // Icons, vector or not, fill the box keeping their shape.
        const PixelSize size = FitKeepingAspect(width, height, fit.width, fit.height);
        gdk_pixbuf_loader_set_size(loader, size.width, size.height);
    } else if (scalable) {
        gdk_pixbuf_loader_set_size(loader, fit.width, fit.height);  // rasterised at screen size
    } else if (width > fit.width || height > fit.height) {
        gdk_pixbuf_loader_set_size(loader, std::min(width, fit.width), std::min(height, fit.height));
    }
}

std::optional<RgbaImage> DecodeWithLoaders(const std::string& bytes, LoaderFit fit) {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    g_signal_connect(loader, "size-prepared", G_CALLBACK(FitOnceSized), &fit);
    // From memory: the loaders see no file name, so nothing they read can name another file.
    const bool written = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()), bytes.size(), nullptr);
    const bool closed = gdk_pixbuf_loader_close(loader, nullptr);
    std::optional<RgbaImage> image;
    if (written && closed) image = ToRgba(gdk_pixbuf_loader_get_pixbuf(loader));
    g_object_unref(loader);
    return image;
}

// ---- Here ---------------------------------------------------------------------------------------

// A PNG icon with the built-in decoder, fitted to the box.
std::optional<RgbaImage> DecodePngIcon(const std::string& bytes, std::int32_t size) {
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    int width = 0, height = 0, channels = 0;
    if (stbi_info_from_memory(data, static_cast<int>(bytes.size()), &width, &height, &channels) == 0 || width <= 0 ||
        height <= 0 || 1LL * width * height > MaxIconPixels)
        return std::nullopt;
    const DecodedImage decoded = DecodeImageBytes(data, bytes.size(), 4);
    if (!decoded) return std::nullopt;
    RgbaImage image;
    image.width = static_cast<std::int32_t>(decoded.width);
    image.height = static_cast<std::int32_t>(decoded.height);
    image.pixels.assign(decoded.pixels.get(), decoded.pixels.get() + std::size_t{decoded.width} * decoded.height * 4);
    const PixelSize fitted = FitKeepingAspect(image.width, image.height, size, size);
    RgbaImage resized = ResizeRgba(image, fitted.width, fitted.height);
    if (resized.pixels.empty()) return std::nullopt;
    return resized;
}

}  // namespace

std::optional<RgbaImage> LoadIconImage(const std::string& path, std::int32_t size, double seconds) {
    if (size <= 0) return std::nullopt;
    const std::optional<std::string> bytes = ReadRegularFile(path, MaxIconFileBytes);
    if (!bytes || bytes->empty()) return std::nullopt;
    if (IsPng(*bytes)) return DecodePngIcon(*bytes, size);
    return DecodeInChildProcess([&] { return DecodeWithLoaders(*bytes, LoaderFit{size, size, true}); },
                                ChildLimits{seconds, IconChildMemory}, size, size);
}

std::optional<RgbaImage> DecodeWithImageLoaders(const std::string& bytes, std::int32_t fitWidth, std::int32_t fitHeight,
                                                double seconds) {
    if (fitWidth <= 0 || fitHeight <= 0 || bytes.empty()) return std::nullopt;
    return DecodeInChildProcess([&] { return DecodeWithLoaders(bytes, LoaderFit{fitWidth, fitHeight, false}); },
                                ChildLimits{seconds, PictureChildMemory}, fitWidth, fitHeight);
}
