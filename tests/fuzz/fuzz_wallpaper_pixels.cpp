// Fuzzes the wallpaper's way to the screen without GL: PNG decoding with the built-in decoder,
// then the channel conversion and downscale to the upload's layout, over a heap left dirty.
#include "core/rgba_image.h"
#include "desktop/image_pixels.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A dirty heap: whatever the decoder fails to initialise shows up as garbage, not zeros.
    void* dirt = std::malloc(1 << 16);
    if (dirt != nullptr) std::memset(dirt, 0xA5, 1 << 16);
    std::free(dirt);
    if (size < 2) return 0;
    const std::uint32_t maxSide = 64 + data[0] * 16u;
    const DecodedImage image = DecodeImageBytes(data + 1, size - 1, 0);
    if (image && image.width <= 4096 && image.height <= 4096) {
        const std::size_t bytes = std::size_t{image.width} * image.height * static_cast<std::size_t>(image.channels);
        (void)PrepareWallpaper(image.pixels.get(), bytes, image.width, image.height, image.channels, maxSide,
                               Color{0.2f, 0.25f, 0.3f});
    }
    return 0;
}
