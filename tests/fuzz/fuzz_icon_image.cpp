// Fuzzes an icon file's way to its pixels: the bounded read, PNG decoding and fitting here, every
// other format through the decoding child (SVG and XPM by the system's loaders), over a heap left
// dirty. The first byte picks the icon size.
#include "desktop/xdg/image_files.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    void* dirt = std::malloc(1 << 16);
    if (dirt != nullptr) std::memset(dirt, 0xA5, 1 << 16);
    std::free(dirt);
    if (size < 1) return 0;
    static const std::string path = "/tmp/gravefall-fuzz-icon-" + std::to_string(getpid());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);
    const std::int32_t iconSize = 16 + data[0] % 241;
    const std::optional<RgbaImage> image = LoadIconImage(path, iconSize, 0.5);
    if (image && (image->width > iconSize || image->height > iconSize ||
                  image->pixels.size() != static_cast<std::size_t>(image->width) * image->height * 4))
        std::abort();  // an icon larger than its box, or pixels that do not match its size
    return 0;
}
