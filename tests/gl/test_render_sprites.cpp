// The frame-strip renderer drawn for real: where a sprite lands, which way up the sheet shows,
// which band of the strip each frame samples, and what a missing texture or program does.
#include "gl_test_support.h"
#include "tests/test_resource_ids.h"

#include "render/asset_registry.h"
#include "render/program_setup.h"
#include "render/sprite_renderer.h"

namespace {

class FrameStripDrawing : public testing::Test {
protected:
    void SetUp() override {
        testing::internal::CaptureStdout();
        LoadScenePrograms(registry, target.Projection());
        sheet = registry.LoadTextureResource(TestResourceId::RedBlueSheet, "red_blue_sheet");
        strip = registry.LoadTextureResource(TestResourceId::Strip4, "strip4");
        const std::string output = testing::internal::GetCapturedStdout();
        ASSERT_EQ(output, "");
        ASSERT_NE(sheet, nullptr);
        ASSERT_NE(strip, nullptr);
    }
    void TearDown() override {
        registry.ReleaseAll();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    OffscreenTarget target{400, 320};
    AssetRegistry registry;
    Texture* sheet = nullptr;
    Texture* strip = nullptr;
};

const Rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255}, white{255, 255, 255, 255},
    black{0, 0, 0, 255};

TEST_F(FrameStripDrawing, SheetTopRowShowsAtTheTopOfTheSprite) {
    FrameStripRenderer renderer(registry.Program("desktop_icon"), 1, 0.03f);
    float timer = 0.0f;
    // 8 x 8 texels drawn at 64 x 64: texel row r covers pixel rows 8r..8r+7 below the top.
    renderer.DrawFrame(sheet, {40.0f, 20.0f}, 0.0f, 0, timer, {64.0f, 64.0f}, 0.0f, {1.0f, 1.0f, 1.0f});
    EXPECT_TRUE(Near(target.Pixel(72, 20 + 4), red));
    EXPECT_TRUE(Near(target.Pixel(72, 20 + 32), green));
    EXPECT_TRUE(Near(target.Pixel(72, 20 + 60), blue));
}

TEST_F(FrameStripDrawing, CoversExactlyThePixelRectangle) {
    FrameStripRenderer renderer(registry.Program("desktop_icon"), 1, 0.03f);
    float timer = 0.0f;
    renderer.DrawFrame(strip, {100.0f, 50.0f}, 0.0f, 0, timer, {200.0f, 250.0f}, 0.0f, {1.0f, 1.0f, 1.0f});
    // Inside at each corner, outside just beyond each edge.
    EXPECT_TRUE(IsLit(target.Pixel(100, 50)));
    EXPECT_TRUE(IsLit(target.Pixel(299, 50)));
    EXPECT_TRUE(IsLit(target.Pixel(100, 299)));
    EXPECT_TRUE(IsLit(target.Pixel(299, 299)));
    EXPECT_FALSE(IsLit(target.Pixel(99, 150)));
    EXPECT_FALSE(IsLit(target.Pixel(300, 150)));
    EXPECT_FALSE(IsLit(target.Pixel(200, 49)));
    EXPECT_FALSE(IsLit(target.Pixel(200, 300)));
}

TEST_F(FrameStripDrawing, FrameKSamplesTheKthBandOfTheStrip) {
    FrameStripRenderer renderer(registry.Program("sprite_25_1"), 4, 0.03f);
    const Rgba bands[] = {red, green, blue, white};
    for (std::uint32_t frame = 0; frame < 4; ++frame) {
        target.Clear(0.0f, 0.0f, 0.0f, 1.0f);
        float timer = 0.0f;
        const std::uint32_t shown =
            renderer.DrawFrame(strip, {10.0f, 10.0f}, 0.0f, frame, timer, {40.0f, 40.0f}, 0.0f, {1.0f, 1.0f, 1.0f});
        EXPECT_EQ(shown, frame);
        // Near both sides of the sprite: the whole sprite shows one band.
        EXPECT_TRUE(Near(target.Pixel(16, 30), bands[frame])) << "frame " << frame;
        EXPECT_TRUE(Near(target.Pixel(43, 30), bands[frame])) << "frame " << frame;
    }
}

TEST_F(FrameStripDrawing, DrawShowsTheAdvancedFrame) {
    FrameStripRenderer renderer(registry.Program("sprite_25_2"), 4, 0.03f);
    float timer = 0.02f;
    const std::uint32_t shown =
        renderer.DrawFrame(strip, {10.0f, 10.0f}, 0.02f, 1, timer, {40.0f, 40.0f}, 0.0f, {1.0f, 1.0f, 1.0f});
    EXPECT_EQ(shown, 2u);
    EXPECT_EQ(timer, 0.0f);
    EXPECT_TRUE(Near(target.Pixel(30, 30), blue));
}

TEST_F(FrameStripDrawing, IndexBeyondTheStripWrapsAroundTheSheet) {
    FrameStripRenderer renderer(registry.Program("sprite_25_3"), 4, 0.03f);
    float timer = 0.0f;
    const std::uint32_t shown =
        renderer.DrawFrame(strip, {10.0f, 10.0f}, 0.0f, 5, timer, {40.0f, 40.0f}, 0.0f, {1.0f, 1.0f, 1.0f});
    EXPECT_EQ(shown, 5u);
    EXPECT_TRUE(Near(target.Pixel(30, 30), green));  // frame 5 of 4 shows frame 1
    EXPECT_EQ(renderer.DrawFrame(strip, {10.0f, 10.0f}, 0.05f, 5, timer, {40.0f, 40.0f}, 0.0f, {1.0f, 1.0f, 1.0f}), 0u);
}

TEST_F(FrameStripDrawing, ColourTintsTheSheet) {
    FrameStripRenderer renderer(registry.Program("sprite_36_1"), 4, 0.03f);
    float timer = 0.0f;
    renderer.DrawFrame(strip, {10.0f, 10.0f}, 0.0f, 3, timer, {40.0f, 40.0f}, 0.0f, {0.0f, 1.0f, 0.0f});
    EXPECT_TRUE(Near(target.Pixel(30, 30), green));  // white frame times (0, 1, 0)
}

TEST_F(FrameStripDrawing, RotationTurnsTheTopEdgeToTheRight) {
    FrameStripRenderer renderer(registry.Program("desktop_icon"), 1, 0.03f);
    float timer = 0.0f;
    renderer.DrawFrame(sheet, {40.0f, 20.0f}, 0.0f, 0, timer, {64.0f, 64.0f}, 90.0f, {1.0f, 1.0f, 1.0f});
    EXPECT_TRUE(Near(target.Pixel(40 + 60, 52), red));   // right edge
    EXPECT_TRUE(Near(target.Pixel(40 + 4, 52), blue));   // left edge
}

TEST_F(FrameStripDrawing, NoneTextureAdvancesButDrawsNothing) {
    FrameStripRenderer renderer(registry.Program("sprite_35"), 35, 0.03f);
    float timer = 0.02f;
    const std::uint32_t shown =
        renderer.DrawFrame(nullptr, {10.0f, 10.0f}, 0.02f, 34, timer, {40.0f, 40.0f}, 0.0f, {1.0f, 1.0f, 1.0f});
    EXPECT_EQ(shown, 0u);
    EXPECT_EQ(timer, 0.0f);
    EXPECT_EQ(target.Pixel(30, 30), black);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A sheet registered to wait is decoded by its first draw and shows what a sheet loaded at once
// shows; one that does not decode reports then, once, and draws nothing.
TEST_F(FrameStripDrawing, AWaitingSheetGetsItsPixelsAtItsFirstDraw) {
    FrameStripRenderer renderer(registry.Program("desktop_icon"), 1, 0.03f);
    float timer = 0.0f;
    testing::internal::CaptureStdout();
    Texture* waiting = registry.RegisterTextureResource(TestResourceId::RedBlueSheet, "waiting");
    Texture* broken = registry.RegisterTextureResource(TestResourceId::NotAnImage, "broken");
    ASSERT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_NE(waiting, nullptr);
    EXPECT_EQ(waiting->width, 0u);  // nothing decoded yet
    renderer.DrawFrame(waiting, {40.0f, 20.0f}, 0.0f, 0, timer, {64.0f, 64.0f}, 0.0f, {1.0f, 1.0f, 1.0f});
    EXPECT_EQ(waiting->width, sheet->width);
    EXPECT_TRUE(Near(target.Pixel(72, 20 + 4), red));
    EXPECT_TRUE(Near(target.Pixel(72, 20 + 60), blue));

    ASSERT_NE(broken, nullptr);
    for (const char* expected : {"ERROR::TEXTURE: stbi_load_from_memory failed for resource 4004\n", ""}) {
        testing::internal::CaptureStdout();
        renderer.DrawFrame(broken, {200.0f, 200.0f}, 0.0f, 0, timer, {64.0f, 64.0f}, 0.0f, {1.0f, 1.0f, 1.0f});
        EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
    }
    EXPECT_EQ(target.Pixel(230, 230), black);
    // An image that is not there is reported at once, as a loaded one is.
    testing::internal::CaptureStdout();
    EXPECT_EQ(registry.RegisterTextureResource(999, "missing"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR::RESOURCE: FindResource failed for ID 999\n");
}

TEST_F(FrameStripDrawing, RendererOfANoneProgramDrawsNothing) {
    FrameStripRenderer renderer(nullptr, 4, 0.03f);
    EXPECT_EQ(renderer.program, 0u);
    float timer = 0.0f;
    const std::uint32_t shown =
        renderer.DrawFrame(strip, {10.0f, 10.0f}, 0.05f, 0, timer, {40.0f, 40.0f}, 0.0f, {1.0f, 1.0f, 1.0f});
    EXPECT_EQ(shown, 1u);
    EXPECT_EQ(target.Pixel(30, 30), black);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(UnitQuad, VertexArrayFeedsFourFloatsAVertexToAttributeZero) {
    VertexArray quad = CreateUnitQuadVertexArray();
    const GLuint vao = quad.id;
    ASSERT_NE(vao, 0u);
    glBindVertexArray(vao);
    GLint enabled = 0, size = 0, stride = 0, buffer = 0;
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &stride);
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
    EXPECT_EQ(enabled, GL_TRUE);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(stride, 16);
    EXPECT_NE(buffer, 0);
    glBindVertexArray(0);
    quad.Reset();
    EXPECT_FALSE(glIsVertexArray(vao));
}

}  // namespace
