// Text on the embedded font: the glyph cache, measuring in whole pixels, and where the glyphs
// land relative to the pen and the baseline.
#include "gl_test_support.h"

#include "render/asset_registry.h"
#include "render/glyph_font.h"
#include "render/program_setup.h"

#include <cmath>
#include <memory>

namespace {

class Text : public testing::Test {
protected:
    static void SetUpTestSuite() {
        font = new GlyphFont;
        ASSERT_EQ(CapturedOutput([] { ASSERT_EQ(font->Load(), FontResult::Loaded); }), "");
    }
    static void TearDownTestSuite() {
        font->DeleteGlyphTextures();
        delete font;
        font = nullptr;
    }

    void SetUp() override {
        renderer = std::make_unique<GlyphRenderer>(LoadTextProgram(registry, target.Projection()));
        ASSERT_NE(renderer->program, 0u);
    }
    void TearDown() override {
        const GLuint vao = renderer->vao.id;
        renderer.reset();
        EXPECT_FALSE(glIsVertexArray(vao));  // the renderer owns its quad
        registry.ReleaseAll();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // The lit pixels' bounding box: left, top, right, bottom (inclusive); left = -1 when none.
    std::array<int, 4> LitBox() const {
        std::array<int, 4> box{-1, -1, -1, -1};
        for (int y = 0; y < target.height; ++y) {
            for (int x = 0; x < target.width; ++x) {
                if (!IsLit(target.Pixel(x, y))) continue;
                if (box[0] < 0) box = {x, y, x, y};
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
            }
        }
        return box;
    }

    static GlyphFont* font;
    OffscreenTarget target{96, 48};
    AssetRegistry registry;
    std::unique_ptr<GlyphRenderer> renderer;
};

GlyphFont* Text::font = nullptr;

const Color white{1.0f, 1.0f, 1.0f};

TEST_F(Text, FontIsOpenAtTwelvePixelsWithPrintableAsciiCached) {
    EXPECT_NE(font->library, nullptr);
    EXPECT_NE(font->face, nullptr);
    EXPECT_FALSE(font->fontBytes.empty());
    // 12 px em: the ascender is a little under the em height.
    EXPECT_GT(font->ascender, 9.0f);
    EXPECT_LT(font->ascender, 13.0f);
    for (char16_t code = 32; code <= 126; ++code) ASSERT_EQ(font->glyphs.count(code), 1u) << int(code);
    const GlyphInfo& letter = font->glyphs.at(u'H');
    EXPECT_GT(letter.sizeX, 0);
    EXPECT_GT(letter.sizeY, 0);
    EXPECT_EQ(letter.texture->internalFormat, static_cast<std::uint32_t>(GL_RED));
    EXPECT_EQ(letter.texture->width, static_cast<std::uint32_t>(letter.sizeX));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
}

std::vector<unsigned char> GlyphTexels(const GlyphInfo& glyph) {
    std::vector<unsigned char> texels(static_cast<std::size_t>(glyph.sizeX) * glyph.sizeY);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, glyph.texture->id);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return texels;
}

TEST_F(Text, GlyphBitmapIsUploadedRowByRow) {
    // Widths that are not a multiple of four would shear if rows were padded or misread.
    for (char16_t code : {u'H', u'a', u'W', u'g'}) {
        const GlyphInfo& glyph = font->glyphs.at(code);
        const std::vector<unsigned char> texels = GlyphTexels(glyph);
        // FreeType's bitmap is a tight box: every row and every column carries some ink.
        std::vector<int> rowInk(glyph.sizeY), columnInk(glyph.sizeX);
        for (int y = 0; y < glyph.sizeY; ++y) {
            for (int x = 0; x < glyph.sizeX; ++x) {
                rowInk[y] += texels[y * glyph.sizeX + x];
                columnInk[x] += texels[y * glyph.sizeX + x];
            }
        }
        for (int y = 0; y < glyph.sizeY; ++y) EXPECT_GT(rowInk[y], 0) << "row " << y << " of " << int(code);
        for (int x = 0; x < glyph.sizeX; ++x) EXPECT_GT(columnInk[x], 0) << "column " << x << " of " << int(code);
    }
    // 'H' has a full-height stem on the left: its first columns are inked from top to bottom.
    const GlyphInfo& h = font->glyphs.at(u'H');
    const std::vector<unsigned char> texels = GlyphTexels(h);
    for (int y = 0; y < h.sizeY; ++y) EXPECT_GT(texels[y * h.sizeX] + texels[y * h.sizeX + 1], 100) << "row " << y;
}

TEST_F(Text, MeasuresTheSumOfWholePixelAdvances) {
    EXPECT_EQ(MeasureText(*font, u""), 0.0f);
    const std::u16string text = u"Trash (2) i.";
    float expected = 0.0f;
    for (char16_t code : text) expected += static_cast<float>(font->glyphs.at(code).advance >> 6);
    EXPECT_EQ(MeasureText(*font, text), expected);
    EXPECT_EQ(MeasureText(*font, u" "), static_cast<float>(font->glyphs.at(u' ').advance >> 6));
}

// A character beyond the Basic Multilingual Plane is a surrogate pair in UTF-16: one character,
// measured and drawn as the one glyph the font has for it, not as two missing ones.
TEST_F(Text, ASurrogatePairIsOneGlyph) {
    const std::u16string smile = u"\U0001F600";
    ASSERT_EQ(smile.size(), 2u);
    const float width = MeasureText(*font, smile);
    ASSERT_EQ(font->glyphs.count(0x1F600), 1u);
    EXPECT_EQ(width, static_cast<float>(font->glyphs.at(0x1F600).advance >> 6));
    EXPECT_EQ(font->glyphs.count(0xD83D) + font->glyphs.count(0xDE00), 0u) << "no glyph looked up per surrogate";
    DrawText(*renderer, *font, smile, {20.0f, 10.0f}, white);
    const std::array<int, 4> box = LitBox();
    ASSERT_GE(box[0], 0);
    EXPECT_LE(box[2] - box[0] + 1, font->glyphs.at(0x1F600).sizeX + 1) << "one glyph wide, not two";
}

TEST_F(Text, MeasuringAnUncachedCodeCachesItOnce) {
    const char16_t eAcute = 233;
    font->glyphs.erase(eAcute);
    const std::size_t before = font->glyphs.size();
    const float width = MeasureText(*font, std::u16string(1, eAcute));
    EXPECT_EQ(font->glyphs.size(), before + 1);
    EXPECT_EQ(width, static_cast<float>(font->glyphs.at(eAcute).advance >> 6));
    MeasureText(*font, std::u16string(2, eAcute));
    EXPECT_EQ(font->glyphs.size(), before + 1);
}

TEST_F(Text, CodeWithoutAGlyphUsesGlyphZero) {
    const char16_t privateUse = 0xE000;  // DejaVu Sans has nothing there
    ASSERT_TRUE(LoadGlyph(*font, privateUse));
    EXPECT_GT(MeasureText(*font, std::u16string(1, privateUse)), 0.0f);
}

TEST_F(Text, GlyphHangsFromTheBaselineOneAscenderBelowTheTop) {
    const GlyphInfo& h = font->glyphs.at(u'H');
    DrawText(*renderer, *font, u"H", {20.0f, 10.0f}, white);
    const auto box = LitBox();
    ASSERT_GE(box[0], 0) << "nothing drawn";
    const float top = 10.0f + font->ascender - static_cast<float>(h.bearingY);
    const float left = 20.0f + static_cast<float>(h.bearingX);
    EXPECT_NEAR(box[1], top, 1.0f);
    EXPECT_NEAR(box[3] + 1, top + static_cast<float>(h.sizeY), 1.0f);
    EXPECT_NEAR(box[0], left, 1.0f);
    EXPECT_NEAR(box[2] + 1, left + static_cast<float>(h.sizeX), 1.0f);
}

TEST_F(Text, SpaceDrawsNothingButMovesThePen) {
    DrawText(*renderer, *font, u"H", {20.0f, 10.0f}, white);
    const auto alone = LitBox();
    target.Clear(0.0f, 0.0f, 0.0f, 1.0f);
    DrawText(*renderer, *font, u"  H", {20.0f, 10.0f}, white);
    const auto afterSpaces = LitBox();
    const int spaceAdvance = static_cast<int>(font->glyphs.at(u' ').advance >> 6);
    EXPECT_EQ(afterSpaces[0] - alone[0], 2 * spaceAdvance);
    EXPECT_EQ(afterSpaces[1], alone[1]);

    target.Clear(0.0f, 0.0f, 0.0f, 1.0f);
    DrawText(*renderer, *font, u"   ", {20.0f, 10.0f}, white);
    EXPECT_LT(LitBox()[0], 0);
}

TEST_F(Text, TextColourFillsTheGlyphInk) {
    DrawText(*renderer, *font, u"H", {20.0f, 10.0f}, {0.0f, 1.0f, 0.0f});
    const auto box = LitBox();
    ASSERT_GE(box[0], 0);
    // The stem of the H is fully covered: pure text colour over black.
    EXPECT_TRUE(Near(target.Pixel(box[0], (box[1] + box[3]) / 2), {0, 255, 0, 255}, 60));
    for (int y = box[1]; y <= box[3]; ++y) {
        for (int x = box[0]; x <= box[2]; ++x) {
            const Rgba pixel = target.Pixel(x, y);
            EXPECT_EQ(pixel[0], 0);
            EXPECT_EQ(pixel[2], 0);
        }
    }
}

TEST_F(Text, EmptyTextMakesNoGlCall) {
    glUseProgram(0);
    DrawText(*renderer, *font, u"", {20.0f, 10.0f}, white);
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
    EXPECT_LT(LitBox()[0], 0);
}

TEST_F(Text, RendererWithoutTheTextProgramDrawsNothing) {
    const GlyphRenderer none(nullptr);
    EXPECT_EQ(none.program, 0u);
    DrawText(none, *font, u"Hello", {20.0f, 10.0f}, white);
    EXPECT_LT(LitBox()[0], 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(GlyphFontRelease, ReleaseIsSafeTwiceAndOnAnUnopenedFont) {
    GlyphFont unopened;
    unopened.Release();
    EXPECT_FALSE(LoadGlyph(unopened, u'A'));
    EXPECT_EQ(MeasureText(unopened, u"abc"), 0.0f);

    GlyphFont opened;
    ASSERT_EQ(opened.Load(), FontResult::Loaded);
    opened.DeleteGlyphTextures();
    EXPECT_TRUE(opened.glyphs.empty());
    opened.Release();
    opened.Release();
    EXPECT_EQ(opened.face, nullptr);
    EXPECT_EQ(opened.library, nullptr);
}

}  // namespace
