// Decoding embedded images without GL: the resource's bytes to RGBA pixels.
#include "render/texture.h"

#include "core/startup_profile.h"
#include "render/resources.h"

#include <cstdio>

DecodedImage DecodeImageResource(std::uint32_t id) {
    const std::optional<ResourceBytes> bytes = FindEmbeddedResource(id);
    if (!bytes) return {};
    DecodedImage image;
    {
        ScopedStopwatch decoding(TheStartupProfile().decodeSeconds);
        // Four channels whatever the file holds: the upload reads four bytes a pixel.
        image = DecodeImageBytes(bytes->data, bytes->size, 4);
    }
    if (!image) {
        std::printf("ERROR::TEXTURE: stbi_load_from_memory failed for resource %u\n", static_cast<unsigned>(id));
        std::fflush(stdout);
    }
    return image;
}
