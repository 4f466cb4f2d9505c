// GL 2-D textures and the path from an embedded PNG to one: decode straight from the resource
// bytes, upload once, free the pixels, so only one decoded image is ever held.
#include "render/texture.h"

#include "app/startup_profile.h"
#include "render/resources.h"

#include <glad/gl.h>
#include <stb/stb_image.h>

#include <climits>
#include <cstdio>

Texture::Texture() {
    glGenTextures(1, &id);
}

void Texture::Upload(std::uint32_t width, std::uint32_t height, const unsigned char* pixels) {
    this->width = width;
    this->height = height;
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat), static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, imageFormat, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(wrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(wrapT));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(filterMin));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(filterMax));
    glBindTexture(GL_TEXTURE_2D, 0);
}

namespace {

void Report(const char* message, std::uint32_t id) {
    std::printf("%s%u\n", message, static_cast<unsigned>(id));
    std::fflush(stdout);
}

// A texture that will not be returned gives its GL name back at once.
void Discard(std::unique_ptr<Texture> texture) {
    glDeleteTextures(1, &texture->id);
}

}  // namespace

std::unique_ptr<Texture> DecodeTextureResource(std::uint32_t id) {
    auto texture = std::make_unique<Texture>();
    texture->internalFormat = GL_RGBA;
    texture->imageFormat = GL_RGBA;

    ResourceBytes bytes;
    switch (LookUpResource(id, bytes)) {
        case ResourceLookup::Found:
            break;
        case ResourceLookup::NotFound:
            Report("ERROR::RESOURCE: FindResource failed for ID ", id);
            Discard(std::move(texture));
            return nullptr;
        case ResourceLookup::NotLoaded:
            Report("ERROR::RESOURCE: LoadResource failed for ID ", id);
            Discard(std::move(texture));
            return nullptr;
        case ResourceLookup::NotLocked:
            Discard(std::move(texture));
            return nullptr;
    }

    // Four channels whatever the file holds: the upload reads four bytes a pixel.
    int width = 0, height = 0, channelsInFile = 0;
    stbi_uc* pixels = nullptr;
    if (bytes.data != nullptr && bytes.size > 0 && bytes.size <= static_cast<std::size_t>(INT_MAX)) {
        ScopedStopwatch decoding(TheStartupProfile().decodeSeconds);
        pixels = stbi_load_from_memory(bytes.data, static_cast<int>(bytes.size), &width, &height, &channelsInFile,
                                       STBI_rgb_alpha);
    }
    if (pixels == nullptr) {
        Report("ERROR::TEXTURE: stbi_load_from_memory failed for resource ", id);
        Discard(std::move(texture));
        return nullptr;
    }
    {
        ScopedStopwatch uploading(TheStartupProfile().uploadSeconds);
        texture->Upload(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), pixels);
    }
    stbi_image_free(pixels);
    return texture;
}
