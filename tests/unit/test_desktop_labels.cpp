// Caption fitting and placement: the width limit is inclusive, cuts go one code unit at a time
// from the end, and the fast search gives exactly what shortening one unit at a time gives.
#include "desktop/label_layout.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Every code unit advances 10 px except the ones listed.
GlyphAdvanceTable TableOf(std::map<char16_t, float> special = {}, float usual = 10.0f) {
    return GlyphAdvanceTable([special, usual](char16_t code) {
        auto found = special.find(code);
        return found == special.end() ? usual : found->second;
    });
}

// The shortening as the caption rule states it: measure every candidate.
std::u16string FitOneUnitAtATime(GlyphAdvanceTable& advances, std::u16string text, float limit) {
    if (advances.Measure(text) <= limit) return text;
    std::u16string work = text;
    for (;;) {
        if (work.empty()) return u"...";
        work.pop_back();
        std::u16string candidate = work + u"...";
        if (advances.Measure(candidate) <= limit) return candidate;
    }
}

TEST(FitLabel, TheLimitIsInclusive) {
    auto advances = TableOf({{u'.', 3.0f}});
    EXPECT_EQ(FitLabel(advances, u"abcdefgh", 80.0f), u"abcdefgh");  // exactly 80
    // 81 px: "abcdefg" + "..." would be 79, so one unit goes.
    auto wider = TableOf({{u'.', 3.0f}, {u'h', 11.0f}});
    EXPECT_EQ(FitLabel(wider, u"abcdefgh", 80.0f), u"abcdefg...");
}

TEST(FitLabel, EmptyStaysEmptyAndNothingFittingGivesTheEllipsisAlone) {
    auto advances = TableOf({{u'.', 3.0f}});
    EXPECT_EQ(FitLabel(advances, u"", 80.0f), u"");
    EXPECT_EQ(FitLabel(advances, u"abc", 15.0f), u"...");  // "a..." is 19
    // Even "..." over the limit is what is left.
    EXPECT_EQ(FitLabel(advances, u"abc", 5.0f), u"...");
}

TEST(FitLabel, ACutBetweenASurrogatePairKeepsItsFirstHalf) {
    // "ab" then U+1F600 as two units, each 10 px; dots 3 px; limit 39: "ab" + high half + "..."
    // is 39.
    const std::u16string text = u"ab\U0001F600cd";
    auto advances = TableOf({{u'.', 3.0f}});
    const std::u16string fitted = FitLabel(advances, text, 39.0f);
    ASSERT_EQ(fitted.size(), 6u);
    EXPECT_EQ(fitted[2], text[2]);
    EXPECT_EQ(fitted.substr(3), u"...");
}

TEST(FitLabel, AgreesWithShorteningOneUnitAtATime) {
    std::mt19937 random(20240607);
    std::map<char16_t, float> special;
    for (char16_t code = 32; code < 127; ++code) special[code] = float(random() % 14);  // zero widths too
    special[u'.'] = 4.0f;
    auto advances = TableOf(special);
    for (int round = 0; round < 2000; ++round) {
        std::u16string text;
        const int length = random() % 40;
        for (int i = 0; i < length; ++i) text += char16_t(32 + random() % 95);
        const float limit = float(random() % 120);
        ASSERT_EQ(FitLabel(advances, text, limit), FitOneUnitAtATime(advances, text, limit)) << "round " << round;
    }
}

TEST(GlyphAdvanceTable, AsksTheFontOncePerCode) {
    int asked = 0;
    GlyphAdvanceTable advances([&asked](char16_t) { ++asked; return 7.0f; });
    EXPECT_EQ(advances.Measure(u"aaab"), 28.0f);
    EXPECT_EQ(advances.Measure(u"ba"), 14.0f);
    EXPECT_EQ(asked, 2);
}

TEST(LabelPosition, CentresUnderTheImageWithIntegerHalving) {
    Vec2 even = LabelPosition({100, 50}, 48, 48, 60.0f);
    EXPECT_FLOAT_EQ(even.x, 94.0f);
    EXPECT_FLOAT_EQ(even.y, 98.0f);
    Vec2 odd = LabelPosition({100, 50}, 47, 47, 30.0f);
    EXPECT_FLOAT_EQ(odd.x, 108.0f);
    EXPECT_FLOAT_EQ(odd.y, 97.0f);
    // No readable bitmap: centred on the position itself, may go negative.
    Vec2 empty = LabelPosition({3, 40}, 0, 0, 25.0f);
    EXPECT_FLOAT_EQ(empty.x, -9.5f);
    EXPECT_FLOAT_EQ(empty.y, 40.0f);
}

TEST(PlaceLabel, FitsThenCentresTheFittedWidth) {
    auto advances = TableOf({{u'.', 3.0f}});
    DesktopIcon icon;
    icon.position = {200, 300};
    icon.width = 48;
    icon.height = 48;
    icon.label = u"A rather long file name.txt";
    const LabelPlacement placement = PlaceLabel(advances, icon);
    EXPECT_EQ(placement.text, u"A rathe...");  // 8 units + dots = 89 > 80, so 7 + dots = 79
    EXPECT_FLOAT_EQ(placement.position.x, 224.0f - 79.0f / 2.0f);
    EXPECT_FLOAT_EQ(placement.position.y, 348.0f);
}

}  // namespace
