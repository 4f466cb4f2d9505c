// Text on FreeType: the embedded font rasterised at 12 px into one small texture per character,
// cached, and drawn one quad per character (a surrogate pair is one character, one glyph).
#pragma once

#include "core/geometry.h"
#include "render/gl_object.h"
#include "render/texture.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

struct GlyphInfo {
    std::unique_ptr<Texture> texture;  // a single-channel image of the glyph
    int sizeX = 0, sizeY = 0;          // bitmap width and rows
    int bearingX = 0, bearingY = 0;    // bitmap_left, bitmap_top
    std::uint32_t advance = 0;         // in 1/64 pixel
};

enum class FontResult { Loaded, FreeTypeFailed, FontFailed };

struct GlyphFont {
    FT_LibraryRec_* library = nullptr;
    FT_FaceRec_* face = nullptr;
    std::map<char32_t, GlyphInfo> glyphs;  // by character code
    float ascender = 0.0f;
    std::vector<unsigned char> fontBytes;

    GlyphFont() = default;
    GlyphFont(const GlyphFont&) = delete;
    GlyphFont& operator=(const GlyphFont&) = delete;
    ~GlyphFont();  // releases the face, then the library

    // Opens the embedded font (ResourceId::CaptionFont) at 12 px and caches printable ASCII. Prints the
    // fatal report on failure.
    FontResult Load();
    // Deletes the glyph textures and empties the cache. Needs the context, so it comes before
    // the window goes; the cache refills on demand if the font is used again.
    void DeleteGlyphTextures();
    // Releases the face, then the library, then the font bytes and the cache (no GL calls).
    // Safe to call more than once.
    void Release();
};

// Rasterises and caches one code; false when the font cannot load it.
bool LoadGlyph(GlyphFont& font, char32_t code);
// Width in whole pixels: the sum of each found glyph's advance >> 6.
float MeasureText(GlyphFont& font, std::u16string_view text);

struct ShaderProgram;

// The renderer of the "text" program (none gives a renderer that draws nothing) with its own
// unit quad, which goes with it: destroy it while the context exists.
struct GlyphRenderer {
    explicit GlyphRenderer(const ShaderProgram* textProgram);

    std::uint32_t program = 0;  // the "text" program, not owned
    VertexArray vao;
    int modelLocation = -1;  // "model" and "textColor", looked up once
    int colorLocation = -1;
};

// Draws text with its top line at position.y (baseline one ascender below) starting at position.x.
void DrawText(const GlyphRenderer& renderer, GlyphFont& font, std::u16string_view text, Vec2 position, Color color);
