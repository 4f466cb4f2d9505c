// A GL 2-D texture and how an embedded PNG becomes one. Decoding (CPU) and uploading (GPU) are
// separate steps so decoding can be tested without a context.
#pragma once

#include <cstdint>
#include <memory>

struct Texture {
    std::uint32_t id = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t internalFormat = 0x1907;  // GL_RGB
    std::uint32_t imageFormat = 0x1907;     // GL_RGB
    std::uint32_t wrapS = 0x2901;           // GL_REPEAT
    std::uint32_t wrapT = 0x2901;           // GL_REPEAT
    std::uint32_t filterMin = 0x2601;       // GL_LINEAR
    std::uint32_t filterMax = 0x2601;       // GL_LINEAR

    Texture();  // generates the GL name: needs a current context
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Stores the size and uploads the pixels (may be null: storage without contents).
    void Upload(std::uint32_t width, std::uint32_t height, const unsigned char* pixels);
};

// Decodes embedded PNG resource `id` into a new RGBA texture; none (after a report on standard
// output) when the resource is missing or does not decode.
std::unique_ptr<Texture> DecodeTextureResource(std::uint32_t id);
