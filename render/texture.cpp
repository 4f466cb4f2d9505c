// GL 2-D textures and the path from an embedded PNG to one: decode straight from the resource
// bytes, upload once, free the pixels.
#include "render/texture.h"

#include "core/startup_profile.h"

#include <glad/gl.h>

#include <utility>

namespace {

std::uint32_t GenerateTextureName() {
    GLuint name = 0;
    glGenTextures(1, &name);
    return name;
}

}  // namespace

Texture::Texture() : GlObject(GenerateTextureName()) {}

void Texture::Upload(std::uint32_t width, std::uint32_t height, const unsigned char* pixels) {
    this->width = width;
    this->height = height;
    TheStartupProfile().textureBytes += std::uint64_t{width} * height * 4;
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat), static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, imageFormat, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(wrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(wrapT));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(filterMin));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(filterMax));
    glBindTexture(GL_TEXTURE_2D, 0);
}

std::unique_ptr<Texture> UploadRgbaTexture(const DecodedImage& image) {
    ScopedStopwatch uploading(TheStartupProfile().uploadSeconds);
    auto texture = std::make_unique<Texture>();
    texture->internalFormat = GL_RGBA;
    texture->imageFormat = GL_RGBA;
    texture->Upload(image.width, image.height, image.pixels.get());
    return texture;
}

std::unique_ptr<Texture> PendingTextureResource(std::uint32_t id) {
    auto texture = std::make_unique<Texture>();
    texture->internalFormat = GL_RGBA;
    texture->imageFormat = GL_RGBA;
    texture->pendingResource = id;
    return texture;
}

bool EnsureTexturePixels(Texture& texture) {
    if (texture.pendingResource != 0) {
        const DecodedImage image = DecodeImageResource(std::exchange(texture.pendingResource, 0));
        if (image) {
            ScopedStopwatch uploading(TheStartupProfile().uploadSeconds);
            texture.Upload(image.width, image.height, image.pixels.get());
        } else {
            texture.undecodable = true;
        }
    }
    return !texture.undecodable;
}

std::unique_ptr<Texture> DecodeTextureResource(std::uint32_t id) {
    const DecodedImage image = DecodeImageResource(id);
    if (!image) return nullptr;
    return UploadRgbaTexture(image);
}
