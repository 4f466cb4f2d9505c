// A GL 2-D texture and how an embedded PNG becomes one. Decoding (CPU pixels, no context) and
// uploading (GPU texture) are separate steps, so decoding is tested without a window.
#pragma once

#include "core/rgba_image.h"
#include "render/gl_object.h"

#include <cstdint>
#include <memory>

// Owns its GL name: destroying the texture deletes it, so it must go while the context exists.
struct Texture : GlObject<DeleteTextureName> {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t internalFormat = 0x1907;  // GL_RGB
    std::uint32_t imageFormat = 0x1907;     // GL_RGB
    std::uint32_t wrapS = 0x2901;           // GL_REPEAT
    std::uint32_t wrapT = 0x2901;           // GL_REPEAT
    std::uint32_t filterMin = 0x2601;       // GL_LINEAR
    std::uint32_t filterMax = 0x2601;       // GL_LINEAR

    // The embedded image whose pixels wait until the texture is first drawn (EnsureTexturePixels);
    // 0 for a texture that holds its pixels, or never will.
    std::uint32_t pendingResource = 0;
    bool undecodable = false;  // its pending image did not decode: it draws nothing

    Texture();  // generates the GL name: needs a current context

    // Stores the size and uploads the pixels (may be null: storage without contents).
    void Upload(std::uint32_t width, std::uint32_t height, const unsigned char* pixels);
};

// Embedded PNG resource `id` decoded to RGBA pixels; empty (after a report on standard output)
// when the resource is missing or does not decode. Needs no context.
DecodedImage DecodeImageResource(std::uint32_t id);

// A new RGBA texture holding the decoded image.
std::unique_ptr<Texture> UploadRgbaTexture(const DecodedImage& image);

// A texture whose pixels wait: embedded image `id` is decoded and uploaded when it is first drawn.
std::unique_ptr<Texture> PendingTextureResource(std::uint32_t id);

// Decodes and uploads a waiting texture's pixels, reporting a failure then, once. True when the
// texture can be drawn.
bool EnsureTexturePixels(Texture& texture);

// Both steps: the resource decoded and uploaded, the pixels freed at once so only one decoded
// image is held at a time. None (after the report) when the resource is missing or undecodable.
std::unique_ptr<Texture> DecodeTextureResource(std::uint32_t id);
