// Fitting and placing the captions under the desktop icons, without the text renderer: glyph
// advances come from a table that the caller fills from the font on first use of each code.
#pragma once

#include "desktop/desktop_capture.h"
#include "core/geometry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

inline constexpr float LabelWidthLimit = 80.0f;
inline constexpr std::u16string_view LabelEllipsis = u"...";

// The advance of every UTF-16 code unit in whole pixels, as the text renderer measures it (a
// code whose glyph cannot be loaded advances 0). Codes are asked of the source once, then kept.
class GlyphAdvanceTable {
public:
    using Source = std::function<float(char16_t)>;
    explicit GlyphAdvanceTable(Source source);

    float Advance(char16_t code) {
        float& advance = advances[code];
        if (advance < 0.0f) advance = source(code);
        return advance;
    }
    // The width of text: the sum of its code units' advances, left to right.
    float Measure(std::u16string_view text);

private:
    Source source;
    std::array<float, 65536> advances;  // negative: not asked yet
};

// The text shortened from the end, one code unit at a time, and closed with "..." until its width
// is at most limit; the text itself when it already fits, "..." when no prefix fits.
std::u16string FitLabel(GlyphAdvanceTable& advances, std::u16string_view text, float limit);

// A fitted label and where its top-left corner goes.
struct LabelPlacement {
    std::u16string text;
    Vec2 position;
};

// Fits the icon's label into the width limit and centres it under the icon's image.
LabelPlacement PlaceLabel(GlyphAdvanceTable& advances, const DesktopIcon& icon);

// The top-left corner of a label measuring labelWidth, centred under an icon's image.
Vec2 LabelPosition(ShellPoint iconPosition, std::int32_t iconWidth, std::int32_t iconHeight, float labelWidth);
