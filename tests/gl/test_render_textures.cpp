// Textures from embedded images and the registry that owns programs and textures, against a
// real GL context.
#include "gl_test_support.h"
#include "tests/test_resource_ids.h"
#include "core/resource_ids.h"

#include "render/asset_registry.h"
#include "render/texture.h"

#include <vector>

namespace {

std::vector<unsigned char> TexelsOf(const Texture& texture) {
    std::vector<unsigned char> texels(static_cast<std::size_t>(texture.width) * texture.height * 4);
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

GLint TextureParameter(const Texture& texture, GLenum parameter) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

TEST(DecodeTextureResource, OnePixelImageBecomesAnRgbaTexture) {
    std::unique_ptr<Texture> texture;
    EXPECT_EQ(CapturedOutput([&] { texture = DecodeTextureResource(TestResourceId::OnePixel); }), "");
    ASSERT_NE(texture, nullptr);
    EXPECT_NE(texture->id, 0u);
    EXPECT_TRUE(glIsTexture(texture->id));
    EXPECT_EQ(texture->width, 1u);
    EXPECT_EQ(texture->height, 1u);
    EXPECT_EQ(texture->internalFormat, static_cast<std::uint32_t>(GL_RGBA));
    EXPECT_EQ(texture->imageFormat, static_cast<std::uint32_t>(GL_RGBA));
    EXPECT_EQ(texture->wrapS, static_cast<std::uint32_t>(GL_REPEAT));
    EXPECT_EQ(texture->wrapT, static_cast<std::uint32_t>(GL_REPEAT));
    EXPECT_EQ(texture->filterMin, static_cast<std::uint32_t>(GL_LINEAR));
    EXPECT_EQ(texture->filterMax, static_cast<std::uint32_t>(GL_LINEAR));
    // What GL holds, not only what the record says.
    EXPECT_EQ(TextureParameter(*texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(TextureParameter(*texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(*texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(TexelsOf(*texture), (std::vector<unsigned char>{10, 20, 30, 40}));
    glDeleteTextures(1, &texture->id);
}

TEST(DecodeTextureResource, ImageWithoutAlphaIsExpandedToFourBytesAPixel) {
    const std::unique_ptr<Texture> texture = DecodeTextureResource(TestResourceId::RgbPair);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->width, 2u);
    EXPECT_EQ(TexelsOf(*texture), (std::vector<unsigned char>{200, 100, 50, 255, 1, 2, 3, 255}));
    glDeleteTextures(1, &texture->id);
}

TEST(DecodeTextureResource, FailuresReportAndGiveNone) {
    std::unique_ptr<Texture> texture;
    EXPECT_EQ(CapturedOutput([&] { texture = DecodeTextureResource(999); }),
              "ERROR::RESOURCE: FindResource failed for ID 999\n");
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(CapturedOutput([&] { texture = DecodeTextureResource(TestResourceId::NotAnImage); }),
              "ERROR::TEXTURE: stbi_load_from_memory failed for resource 4004\n");
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(CapturedOutput([&] { texture = DecodeTextureResource(TestResourceId::EmptyFile); }),
              "ERROR::TEXTURE: stbi_load_from_memory failed for resource 4005\n");
    EXPECT_EQ(texture, nullptr);
}

TEST(AssetRegistry, MissingImageLeavesANoneEntryUnderItsName) {
    AssetRegistry registry;
    Texture* texture = reinterpret_cast<Texture*>(1);
    EXPECT_EQ(CapturedOutput([&] { texture = registry.LoadTextureResource(999, "missing"); }),
              "ERROR::RESOURCE: FindResource failed for ID 999\n");
    EXPECT_EQ(texture, nullptr);
    ASSERT_EQ(registry.textures.count("missing"), 1u);
    EXPECT_EQ(registry.textures.at("missing"), nullptr);
    EXPECT_EQ(registry.FindTexture("missing"), nullptr);
    registry.ReleaseAll();  // skips the none entry
    EXPECT_TRUE(registry.textures.empty());
}

TEST(AssetRegistry, LookupsFindWhatWasStored) {
    AssetRegistry registry;
    Texture* sheet = registry.LoadTextureResource(TestResourceId::RedBlueSheet, "sheet");
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(registry.FindTexture("sheet"), sheet);
    EXPECT_EQ(registry.FindTexture("she"), nullptr);
    EXPECT_EQ(registry.Program("sheet"), nullptr);

    auto own = std::make_unique<Texture>();
    Texture* ownPointer = own.get();
    EXPECT_EQ(registry.StoreTexture("desktop_icon_0", std::move(own)), ownPointer);
    EXPECT_EQ(registry.FindTexture("desktop_icon_0"), ownPointer);
    registry.ReleaseAll();
}

TEST(AssetRegistry, ReplacedEntryStaysUsableUntilReleaseAll) {
    AssetRegistry registry;
    Texture* first = registry.LoadTextureResource(TestResourceId::OnePixel, "same");
    Texture* second = registry.LoadTextureResource(TestResourceId::RedBlueSheet, "same");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(registry.FindTexture("same"), second);
    // The first record is still alive for whoever was handed it.
    EXPECT_EQ(first->width, 1u);
    EXPECT_TRUE(glIsTexture(first->id));
    const GLuint firstId = first->id;
    registry.ReleaseAll();
    EXPECT_FALSE(glIsTexture(firstId));
}

TEST(AssetRegistry, ReleaseAllDeletesEveryProgramAndTextureOnce) {
    AssetRegistry registry;
    std::vector<GLuint> programs, textures;
    for (const char* name : {"b", "a", "c"}) programs.push_back(registry.LoadShaderProgram(ResourceId::FrameStripVertex, ResourceId::FrameStripFragment, name)->id);
    for (const char* name : {"y", "x"}) textures.push_back(registry.LoadTextureResource(TestResourceId::OnePixel, name)->id);
    registry.LoadTextureResource(999, "none");  // a none entry among them
    glUseProgram(0);
    for (GLuint id : programs) ASSERT_TRUE(glIsProgram(id));
    for (GLuint id : textures) ASSERT_TRUE(glIsTexture(id));

    testing::internal::CaptureStdout();
    registry.ReleaseAll();
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(registry.programs.empty());
    EXPECT_TRUE(registry.textures.empty());
    for (GLuint id : programs) EXPECT_FALSE(glIsProgram(id));
    for (GLuint id : textures) EXPECT_FALSE(glIsTexture(id));

    // GL hands freed names out again: objects created now may reuse them. A second release, or
    // a name deleted twice, would destroy these.
    GLuint newTextures[2] = {};
    glGenTextures(2, newTextures);
    for (GLuint id : newTextures) glBindTexture(GL_TEXTURE_2D, id);
    glBindTexture(GL_TEXTURE_2D, 0);
    const GLuint newProgram = glCreateProgram();
    registry.ReleaseAll();
    EXPECT_TRUE(glIsProgram(newProgram));
    for (GLuint id : newTextures) EXPECT_TRUE(glIsTexture(id));
    glDeleteProgram(newProgram);
    glDeleteTextures(2, newTextures);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
