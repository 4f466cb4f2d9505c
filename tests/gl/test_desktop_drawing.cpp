// The mirrored desktop drawn for real: the wallpaper quad the right way up and always with defined
// contents, wallpapers beyond the texture size limit, the icon textures with their names and the
// icons drawn whole at their places, at any frame rate.
#include "gl_test_support.h"

#include "desktop/background.h"
#include "desktop/desktop_mirror.h"
#include "desktop/icon_images.h"
#include "render/asset_registry.h"
#include "render/glyph_font.h"
#include "render/program_setup.h"
#include "render/sprite_renderer.h"
#include "render/sprite_animation.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>

namespace {

bool Near(const Rgba& actual, const Rgba& expected, int tolerance = 3) {
    for (int i = 0; i < 4; ++i)
        if (std::abs(actual[i] - expected[i]) > tolerance) return false;
    return true;
}

// An icon image whose left half is red and right half blue.
RgbaImage HalfRedHalfBlue(int width, int height) {
    RgbaImage image{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool left = x < width / 2;
            image.pixels.insert(image.pixels.end(),
                                {static_cast<unsigned char>(left ? 255 : 0), 0, static_cast<unsigned char>(left ? 0 : 255), 255});
        }
    return image;
}

class DesktopDrawing : public testing::Test {
protected:
    void SetUp() override {
        testing::internal::CaptureStdout();
        LoadScenePrograms(registry, target.Projection());
        ASSERT_EQ(testing::internal::GetCapturedStdout(), "");
        folder = std::filesystem::temp_directory_path() / ("gravefall-gl-desktop-" + std::to_string(std::random_device{}()));
        ASSERT_TRUE(std::filesystem::create_directories(folder));
    }
    void TearDown() override {
        registry.ReleaseAll();
        std::filesystem::remove_all(folder);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    std::string Png(const std::string& name, int width, int height, int channels,
                    const std::function<std::array<unsigned char, 4>(int, int)>& pixel) {
        std::vector<unsigned char> bytes;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const auto value = pixel(x, y);
                bytes.insert(bytes.end(), value.begin(), value.begin() + channels);
            }
        const std::string path = (folder / name).string();
        EXPECT_NE(stbi_write_png(path.c_str(), width, height, channels, bytes.data(), width * channels), 0);
        return path;
    }

    OffscreenTarget target{320, 240};
    AssetRegistry registry;
    WallpaperSetting wallpaper;
    std::filesystem::path folder;
};

const Rgba red{255, 0, 0, 255}, blue{0, 0, 255, 255};

TEST_F(DesktopDrawing, TheWallpapersTopRowShowsAtTheTopOfTheScreen) {
    wallpaper.path = Png("red over blue.png", 16, 10, 3, [](int, int y) {
        return y < 5 ? std::array<unsigned char, 4>{255, 0, 0, 255} : std::array<unsigned char, 4>{0, 0, 255, 255};
    });
    auto background = CreateBackground(registry, wallpaper, target.width, target.height);
    ASSERT_NE(background->texture, nullptr);
    EXPECT_EQ(registry.FindTexture("background"), background->texture);
    EXPECT_EQ(background->texture->internalFormat, static_cast<std::uint32_t>(GL_RGB));
    EXPECT_EQ(background->texture->width, 16u);
    DrawBackground(*background);
    // Away from the edges, where the repeating texture blends with the opposite edge.
    EXPECT_TRUE(Near(target.Pixel(10, 40), red));
    EXPECT_TRUE(Near(target.Pixel(300, 100), red));
    EXPECT_TRUE(Near(target.Pixel(10, 200), blue));
    EXPECT_TRUE(Near(target.Pixel(300, 140), blue));
}

TEST_F(DesktopDrawing, NoUsableWallpaperShowsThePlainColourOrTheClearColour) {
    wallpaper.path = (folder / "missing.png").string();
    wallpaper.color = Color{0.0f, 1.0f, 0.0f};
    auto coloured = CreateBackground(registry, wallpaper, target.width, target.height);
    target.Clear(1.0f, 1.0f, 1.0f, 1.0f);
    DrawBackground(*coloured);
    EXPECT_TRUE(Near(target.Pixel(160, 120), Rgba{0, 255, 0, 255}));

    wallpaper.color.reset();
    auto plain = CreateBackground(registry, wallpaper, target.width, target.height);
    target.Clear(1.0f, 1.0f, 1.0f, 1.0f);
    DrawBackground(*plain);
    EXPECT_TRUE(Near(target.Pixel(160, 120), Rgba{51, 64, 77, 255}));
}

TEST_F(DesktopDrawing, AWallpaperWiderThanTheTextureLimitIsScaledToFit) {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    ASSERT_GT(limit, 0);
    wallpaper.path = Png("wide.png", limit + 1, 2, 3, [limit](int x, int) {
        return x < (limit + 1) / 2 ? std::array<unsigned char, 4>{255, 0, 0, 255}
                                   : std::array<unsigned char, 4>{0, 0, 255, 255};
    });
    auto background = CreateBackground(registry, wallpaper, target.width, target.height);
    EXPECT_EQ(background->texture->width, static_cast<std::uint32_t>(limit));
    DrawBackground(*background);
    EXPECT_TRUE(Near(target.Pixel(20, 120), red));
    EXPECT_TRUE(Near(target.Pixel(300, 120), blue));
}

TEST_F(DesktopDrawing, EveryIconGetsANamedTextureAndIsDrawnWholeAtItsPlace) {
    FrameStripRenderer renderer(registry.Program("desktop_icon"), 1, 0.03f);
    std::vector<DesktopIcon> icons(11);
    for (std::size_t i = 0; i < icons.size(); ++i) {
        icons[i].position = {static_cast<std::int32_t>(10 + (i % 5) * 60), static_cast<std::int32_t>(10 + (i / 5) * 70)};
        icons[i].width = 48;
        icons[i].height = 48;
        icons[i].image = HalfRedHalfBlue(48, 48);
    }
    auto animations = CreateIconAnimations(icons, registry, &renderer);
    ASSERT_EQ(animations.size(), 11u);
    for (const DesktopIcon& icon : icons) EXPECT_TRUE(icon.image.pixels.empty()) << "pixels kept after the upload";
    ASSERT_NE(registry.FindTexture("desktop_icon_10"), nullptr);
    EXPECT_EQ(registry.FindTexture("desktop_icon_10")->internalFormat, static_cast<std::uint32_t>(GL_RGBA));
    EXPECT_EQ(registry.FindTexture("desktop_icon_11"), nullptr);
    EXPECT_EQ(animations[10]->textures[0][0], registry.FindTexture("desktop_icon_10"));

    // At 60 and at 20 frames per second every icon shows its whole image: red left, blue right.
    for (float deltaTime : {0.0167f, 0.05f}) {
        target.Clear(0.0f, 0.0f, 0.0f, 1.0f);
        DrawIcons(icons, animations, deltaTime);
        for (const DesktopIcon& icon : icons) {
            EXPECT_TRUE(Near(target.Pixel(icon.position.x + 2, icon.position.y + 24), red)) << deltaTime;
            EXPECT_TRUE(Near(target.Pixel(icon.position.x + 45, icon.position.y + 24), blue)) << deltaTime;
            EXPECT_FALSE(IsLit(target.Pixel(icon.position.x + 24, icon.position.y + 49)));
        }
    }
}

TEST_F(DesktopDrawing, AnIconWithoutPixelsShowsWhatIsBehindIt) {
    FrameStripRenderer renderer(registry.Program("desktop_icon"), 1, 0.03f);
    std::vector<DesktopIcon> icons(1);
    icons[0].position = {100, 100};
    icons[0].width = 48;
    icons[0].height = 48;
    auto animations = CreateIconAnimations(icons, registry, &renderer);
    target.Clear(0.0f, 1.0f, 0.0f, 1.0f);
    DrawIcons(icons, animations, 0.02f);
    EXPECT_TRUE(Near(target.Pixel(124, 124), Rgba{0, 255, 0, 255}));
}

TEST_F(DesktopDrawing, CaptionsAreDrawnWhiteAndCentredUnderTheirIcons) {
    GlyphFont font;
    ASSERT_EQ(CapturedOutput([&] { ASSERT_EQ(font.Load(), FontResult::Loaded); }), "");
    const Mat4 projection = target.Projection();
    GlyphRenderer glyphs(LoadTextProgram(registry, projection));

    DesktopMirror mirror;
    DesktopIcon icon;
    icon.position = {136, 40};
    icon.width = 48;
    icon.height = 48;
    icon.label = u"A caption far too long for eighty pixels";
    mirror.desktopIcons.push_back(icon);
    UseLabelFont(mirror, font, glyphs);
    target.Clear(0.0f, 0.0f, 0.0f, 1.0f);
    DrawIconLabels(mirror);

    int first = target.width, last = -1;
    for (int y = 88; y < 104; ++y)
        for (int x = 0; x < target.width; ++x)
            if (target.Pixel(x, y)[0] > 150) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    ASSERT_GE(last, 0) << "no caption drawn";
    EXPECT_LE(last - first, 80);
    EXPECT_NEAR((first + last) / 2.0, 160.0, 2.0);
    // Nothing above the icon's bottom edge.
    for (int x = 0; x < target.width; ++x) EXPECT_FALSE(IsLit(target.Pixel(x, 86)));
    ReleaseDesktopCapture(mirror);
    font.DeleteGlyphTextures();
}

}  // namespace
