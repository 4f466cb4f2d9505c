// Decoding images from memory with stb_image.
#include "core/rgba_image.h"

#include <stb/stb_image.h>

#include <climits>

void DecodedImage::FreeWithDecoder::operator()(unsigned char* pixels) const { stbi_image_free(pixels); }

DecodedImage DecodeImageBytes(const unsigned char* bytes, std::size_t size, int channels) {
    DecodedImage image;
    if (bytes == nullptr || size == 0 || size > static_cast<std::size_t>(INT_MAX)) return image;
    int width = 0, height = 0, channelsInFile = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channelsInFile, channels);
    if (pixels == nullptr) return image;
    image.pixels.reset(pixels);
    image.width = static_cast<std::uint32_t>(width);
    image.height = static_cast<std::uint32_t>(height);
    image.channels = channels != 0 ? channels : channelsInFile;
    return image;
}
