// Reading embedded resources by id: exact bytes, the low-16-bit rule and the missing-resource
// reports. The test program embeds test-only resources under ids the program does not use.
#include "render/resources.h"
#include "tests/test_resource_ids.h"
#include "core/resource_ids.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Capture(std::uint32_t id, std::string& text) {
    testing::internal::CaptureStdout();
    text = LoadTextResource(id);
    return testing::internal::GetCapturedStdout();
}

TEST(TextResource, ComesBackByteForByte) {
    std::string text;
    EXPECT_EQ(Capture(TestResourceId::QuotedText, text), "");
    EXPECT_EQ(text, std::string("#version 330 core\r\n// a \"quoted\" comment\twith a tab\r\n/* 'single' */\n\xc3\xa9\n"));
}

TEST(TextResource, UsesOnlyTheLow16BitsOfTheId) {
    std::string viaHighId;
    EXPECT_EQ(Capture(70000, viaHighId), "");
    EXPECT_EQ(viaHighId, LoadTextResource(TestResourceId::QuotedText));
    EXPECT_FALSE(viaHighId.empty());
}

TEST(TextResource, TwoReadsGiveEqualIndependentStrings) {
    std::string first = LoadTextResource(TestResourceId::QuotedText);
    const std::string second = LoadTextResource(TestResourceId::QuotedText);
    ASSERT_EQ(first, second);
    first[0] = 'X';
    EXPECT_NE(first, second);
    EXPECT_EQ(LoadTextResource(TestResourceId::QuotedText), second);
}

TEST(TextResource, MissingIdReportsAndGivesEmpty) {
    std::string text = "unchanged";
    EXPECT_EQ(Capture(999, text), "ERROR::RESOURCE: FindResource failed for ID 999\n");
    EXPECT_TRUE(text.empty());
    // The report names the id as asked, even when only its low bits were looked up.
    EXPECT_EQ(Capture(65536 + 999, text), "ERROR::RESOURCE: FindResource failed for ID 66535\n");
}

TEST(TextResource, ZeroLengthResourceIsEmptyWithoutReport) {
    std::string text = "unchanged";
    EXPECT_EQ(Capture(TestResourceId::EmptyFile, text), "");
    EXPECT_TRUE(text.empty());
    ResourceBytes bytes;
    EXPECT_EQ(LookUpResource(TestResourceId::EmptyFile, bytes), ResourceLookup::Found);
    EXPECT_EQ(bytes.size, 0u);
}

TEST(TextResource, ProgramResourcesAreEmbeddedAlongsideTheTestOnes) {
    for (std::uint32_t id = ResourceId::ScreenQuadVertex; id <= ResourceId::TextFragment; ++id) {
        const std::string source = LoadTextResource(id);
        EXPECT_EQ(source.rfind("#version 330 core", 0), 0u) << "shader resource " << id;
    }
    ResourceBytes font;
    ASSERT_EQ(LookUpResource(ResourceId::CaptionFont, font), ResourceLookup::Found);
    ASSERT_GE(font.size, 4u);
    // A TrueType file starts with the sfnt version 0x00010000.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(font.data), 4), std::string("\0\1\0\0", 4));
}

TEST(ResourceLookup, IdsBetweenAndAroundEntriesAreNotFound) {
    ResourceBytes bytes;
    for (std::uint32_t id : {0u, 1u, 100u, 111u, 4000u, 4009u, 65535u}) {
        EXPECT_EQ(LookUpResource(id, bytes), ResourceLookup::NotFound) << id;
        EXPECT_EQ(bytes.data, nullptr);
        EXPECT_EQ(bytes.size, 0u);
    }
}

}  // namespace

// The catalogue ties each sheet's name to its file: every embedded sheet is a PNG of exactly the
// size the catalogue states, so a manifest line pointing a name at another heading's file fails.
TEST(ResourceCatalogue, EverySheetIsEmbeddedAtItsCataloguedSize) {
    for (const SheetFacts& sheet : SpriteSheets) {
        ResourceBytes bytes;
        ASSERT_EQ(LookUpResource(sheet.id, bytes), ResourceLookup::Found) << sheet.id;
        ASSERT_GE(bytes.size, 24u) << sheet.id;
        // The PNG signature, then the IHDR chunk: width and height, big-endian, at bytes 16 and 20.
        const auto bigEndian = [&](std::size_t at) {
            return std::uint32_t{bytes.data[at]} << 24 | std::uint32_t{bytes.data[at + 1]} << 16 |
                   std::uint32_t{bytes.data[at + 2]} << 8 | std::uint32_t{bytes.data[at + 3]};
        };
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data) + 12, 4), "IHDR") << sheet.id;
        EXPECT_EQ(bigEndian(16), sheet.width) << sheet.id;
        EXPECT_EQ(bigEndian(20), sheet.height) << sheet.id;
    }
    EXPECT_EQ(std::size(SpriteSheets), 48u);
}
