// Caption fitting in linear time: the advances are non-negative, so the widths of the label's
// prefixes only grow, and the longest prefix that fits with "..." is found from their running
// sums instead of measuring one shortened candidate after another.
#include "desktop/label_layout.h"

#include <algorithm>
#include <vector>

GlyphAdvanceTable::GlyphAdvanceTable(Source source) : source(std::move(source)) { advances.fill(-1.0f); }

float GlyphAdvanceTable::Measure(std::u16string_view text) {
    float width = 0.0f;
    for (char16_t code : text) width += Advance(code);
    return width;
}

std::u16string FitLabel(GlyphAdvanceTable& advances, std::u16string_view text, float limit) {
    // prefixWidths[k] is the width of the first k code units, summed in the same order a
    // measurement of that prefix would sum them.
    thread_local std::vector<float> prefixWidths;
    prefixWidths.resize(text.size() + 1);
    prefixWidths[0] = 0.0f;
    for (std::size_t i = 0; i < text.size(); ++i) prefixWidths[i + 1] = prefixWidths[i] + advances.Advance(text[i]);
    if (prefixWidths[text.size()] <= limit) return std::u16string(text);

    // Width of prefix k followed by "...", added code unit by code unit as a measurement does.
    auto fits = [&](std::size_t k) {
        float width = prefixWidths[k];
        for (char16_t dot : LabelEllipsis) width += advances.Advance(dot);
        return width <= limit;
    };
    // The longest prefix shorter than the text that fits; candidates are monotone in k.
    std::size_t low = 0, high = text.size();  // search in [low, high): fits(k) for k < answer
    if (!fits(0)) return std::u16string(LabelEllipsis);
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        if (fits(middle)) low = middle; else high = middle;
    }
    std::u16string fitted;
    fitted.reserve(low + LabelEllipsis.size());
    fitted.append(text.substr(0, low));
    fitted.append(LabelEllipsis);
    return fitted;
}

Vec2 LabelPosition(ShellPoint iconPosition, std::int32_t iconWidth, std::int32_t iconHeight, float labelWidth) {
    // Integer halving before the conversion: a 47 px icon centres on its 23rd pixel. Done in 64
    // bits so positions near the integer limits cannot overflow.
    const std::int64_t centre = static_cast<std::int64_t>(iconPosition.x) + iconWidth / 2;
    const std::int64_t bottom = static_cast<std::int64_t>(iconPosition.y) + iconHeight;
    return Vec2{static_cast<float>(centre) - labelWidth * 0.5f, static_cast<float>(bottom)};
}

LabelPlacement PlaceLabel(GlyphAdvanceTable& advances, const DesktopIcon& icon) {
    LabelPlacement placement;
    placement.text = FitLabel(advances, icon.label, LabelWidthLimit);
    const float width = advances.Measure(placement.text);
    placement.position = LabelPosition(icon.position, icon.width, icon.height, width);
    return placement;
}
