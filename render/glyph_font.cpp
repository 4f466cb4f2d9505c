// The caption font: FreeType rasterises each character code once into a single-channel texture;
// text is drawn one textured quad per code unit, hanging from the baseline.
#include "render/glyph_font.h"

#include "core/resource_ids.h"
#include "render/resources.h"
#include "render/shader_program.h"
#include "render/sprite_renderer.h"

#include <glad/gl.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>

namespace {

// The rendered bitmap as tightly packed 8-bit rows, top row first, whatever its pitch, flow
// or bit depth: the upload reads `width` bytes a row with an unpack alignment of 1.
std::vector<unsigned char> PackedRows(const FT_Bitmap& bitmap) {
    const unsigned width = bitmap.width;
    const unsigned rows = bitmap.rows;
    std::vector<unsigned char> packed(static_cast<std::size_t>(width) * rows);
    if (packed.empty() || bitmap.buffer == nullptr) return packed;

    // The pitch is what to add to go down one row; a negative pitch stores the bottom row first.
    const long pitch = bitmap.pitch;
    const unsigned char* top = pitch >= 0 ? bitmap.buffer : bitmap.buffer + (rows - 1) * static_cast<std::size_t>(-pitch);
    for (unsigned row = 0; row < rows; ++row) {
        const unsigned char* source = top + static_cast<long>(row) * pitch;
        unsigned char* target = packed.data() + static_cast<std::size_t>(row) * width;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (unsigned x = 0; x < width; ++x) target[x] = (source[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
        } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            for (unsigned x = 0; x < width; ++x) target[x] = source[x];
        }
        // Other modes (colour or sub-pixel bitmaps) are not produced by a normal render of an
        // outline font; they stay blank rather than being misread.
    }
    return packed;
}

const GlyphInfo* FindGlyph(GlyphFont& font, char32_t code) {
    auto found = font.glyphs.find(code);
    if (found == font.glyphs.end()) {
        if (!LoadGlyph(font, code)) return nullptr;
        found = font.glyphs.find(code);
        if (found == font.glyphs.end()) return nullptr;
    }
    return &found->second;
}

// The characters of UTF-16 text in order: a surrogate pair is one character; a lone surrogate
// stands for itself (it has no glyph, as before).
template <typename Visit>
void ForEachCharacter(std::u16string_view text, Visit visit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            visit(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            visit(unit);
        }
    }
}

}  // namespace

GlyphFont::~GlyphFont() {
    Release();
}

void GlyphFont::Release() {
    if (face != nullptr) FT_Done_Face(face);
    face = nullptr;
    if (library != nullptr) FT_Done_FreeType(library);
    library = nullptr;
    fontBytes.clear();
    fontBytes.shrink_to_fit();
    glyphs.clear();
}

void GlyphFont::DeleteGlyphTextures() {
    glyphs.clear();  // each glyph's texture deletes its name
}

FontResult GlyphFont::Load() {
    std::vector<unsigned char> bytes;
    ResourceBytes resource;
    if (LookUpResource(ResourceId::CaptionFont, resource) == ResourceLookup::Found && resource.data != nullptr &&
        resource.size > 0) {
        bytes.assign(resource.data, resource.data + resource.size);
    }

    if (FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        std::printf("FreeType init failed\n");
        std::fflush(stdout);
        return FontResult::FreeTypeFailed;
    }
    fontBytes = std::move(bytes);
    if (FT_New_Memory_Face(library, fontBytes.data(), static_cast<FT_Long>(fontBytes.size()), 0, &face) != 0) {
        face = nullptr;
        std::printf("Failed loading embedded font\n");
        std::fflush(stdout);
        return FontResult::FontFailed;
    }
    FT_Set_Pixel_Sizes(face, 0, 12);
    ascender = static_cast<float>(face->size->metrics.ascender) * 0.015625f;

    for (char32_t code = 32; code <= 126; ++code) LoadGlyph(*this, code);
    return FontResult::Loaded;
}

bool LoadGlyph(GlyphFont& font, char32_t code) {
    if (font.face == nullptr) return false;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (FT_Load_Char(font.face, code, FT_LOAD_RENDER) != 0) return false;

    const FT_GlyphSlot slot = font.face->glyph;
    auto texture = std::make_unique<Texture>();
    texture->internalFormat = GL_RED;
    texture->imageFormat = GL_RED;
    texture->width = slot->bitmap.width;
    texture->height = slot->bitmap.rows;

    const std::vector<unsigned char> pixels = PackedRows(slot->bitmap);
    glBindTexture(GL_TEXTURE_2D, texture->id);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, static_cast<GLsizei>(texture->width), static_cast<GLsizei>(texture->height),
                 0, GL_RED, GL_UNSIGNED_BYTE, pixels.empty() ? nullptr : pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);

    GlyphInfo glyph;
    glyph.texture = std::move(texture);
    glyph.sizeX = static_cast<int>(slot->bitmap.width);
    glyph.sizeY = static_cast<int>(slot->bitmap.rows);
    glyph.bearingX = slot->bitmap_left;
    glyph.bearingY = slot->bitmap_top;
    glyph.advance = static_cast<std::uint32_t>(slot->advance.x);

    font.glyphs[code] = std::move(glyph);  // a replaced entry's texture is deleted here

    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    return true;
}

float MeasureText(GlyphFont& font, std::u16string_view text) {
    float width = 0.0f;
    ForEachCharacter(text, [&](char32_t code) {
        if (const GlyphInfo* glyph = FindGlyph(font, code)) width += static_cast<float>(glyph->advance >> 6);
    });
    return width;
}

GlyphRenderer::GlyphRenderer(const ShaderProgram* textProgram)
    : program(textProgram ? textProgram->id : 0), vao(CreateUnitQuadVertexArray()) {
    if (program == 0) return;
    modelLocation = glGetUniformLocation(program, "model");
    colorLocation = glGetUniformLocation(program, "textColor");
}

void DrawText(const GlyphRenderer& renderer, GlyphFont& font, std::u16string_view text, Vec2 position, Color color) {
    if (renderer.program == 0) return;  // the "text" program is missing: nothing can be drawn
    const float baseline = position.y + font.ascender;
    float pen = position.x;
    ForEachCharacter(text, [&](char32_t code) {
        const GlyphInfo* glyph = FindGlyph(font, code);
        if (glyph == nullptr) return;

        glUseProgram(renderer.program);
        const Mat4 model = Mat4::Translation(pen + static_cast<float>(glyph->bearingX),
                                             baseline - static_cast<float>(glyph->bearingY), 0.0f) *
                           Mat4::Scale(static_cast<float>(glyph->sizeX), static_cast<float>(glyph->sizeY), 1.0f);
        glUniformMatrix4fv(renderer.modelLocation, 1, GL_FALSE, model.data());
        glUniform3f(renderer.colorLocation, color.r, color.g, color.b);

        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, glyph->texture->id);
        glBindVertexArray(renderer.vao.id);
        glDrawArrays(GL_TRIANGLES, 0, 6);
        glBindVertexArray(0);

        pen += static_cast<float>(glyph->advance >> 6);
    });
}
