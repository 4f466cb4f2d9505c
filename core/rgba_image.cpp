// Decoding PNG images from memory with stb_image.
#include "core/rgba_image.h"

#include <stb/stb_image.h>

#include <climits>
#include <cstring>

void DecodedImage::FreeWithDecoder::operator()(unsigned char* pixels) const { stbi_image_free(pixels); }

namespace {

// A PNG whose every chunk fits in the bytes there are. stb_image trusts a chunk's length and
// computes a pointer past the buffer's end from it, so a file that lies about a length is turned
// away before it gets there; and it copies an empty image data chunk to a buffer it has not
// made yet (a null pointer), so a file with one goes to another decoder.
bool ChunksFit(const unsigned char* bytes, std::size_t size) {
    constexpr unsigned char Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 8 || std::memcmp(bytes, Signature, 8) != 0) return false;
    std::size_t at = 8;
    while (at + 12 <= size) {
        const std::uint32_t length = std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
                                     std::uint32_t{bytes[at + 2]} << 8 | std::uint32_t{bytes[at + 3]};
        if (length > size - at - 12) return false;
        if (length == 0 && std::memcmp(bytes + at + 4, "IDAT", 4) == 0) return false;
        if (std::memcmp(bytes + at + 4, "IEND", 4) == 0) return true;
        at += 12 + std::size_t{length};
    }
    return false;
}

}  // namespace

DecodedImage DecodeImageBytes(const unsigned char* bytes, std::size_t size, int channels) {
    DecodedImage image;
    if (bytes == nullptr || size == 0 || size > static_cast<std::size_t>(INT_MAX)) return image;
    if (!ChunksFit(bytes, size)) return image;  // PNG is all the built-in decoder reads
    int width = 0, height = 0, channelsInFile = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channelsInFile, channels);
    if (pixels == nullptr) return image;
    image.pixels.reset(pixels);
    image.width = static_cast<std::uint32_t>(width);
    image.height = static_cast<std::uint32_t>(height);
    image.channels = channels != 0 ? channels : channelsInFile;
    return image;
}
