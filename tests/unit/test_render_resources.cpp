// Reading embedded resources by id: exact bytes, the low-16-bit rule and the missing-resource
// reports. The test program embeds test-only resources under ids the program does not use.
#include "render/resources.h"

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
    EXPECT_EQ(Capture(4464, text), "");
    EXPECT_EQ(text, std::string("#version 330 core\r\n// a \"quoted\" comment\twith a tab\r\n/* 'single' */\n\xc3\xa9\n"));
}

TEST(TextResource, UsesOnlyTheLow16BitsOfTheId) {
    std::string viaHighId;
    EXPECT_EQ(Capture(70000, viaHighId), "");
    EXPECT_EQ(viaHighId, LoadTextResource(4464));
    EXPECT_FALSE(viaHighId.empty());
}

TEST(TextResource, TwoReadsGiveEqualIndependentStrings) {
    std::string first = LoadTextResource(4464);
    const std::string second = LoadTextResource(4464);
    ASSERT_EQ(first, second);
    first[0] = 'X';
    EXPECT_NE(first, second);
    EXPECT_EQ(LoadTextResource(4464), second);
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
    EXPECT_EQ(Capture(4005, text), "");
    EXPECT_TRUE(text.empty());
    ResourceBytes bytes;
    EXPECT_EQ(LookUpResource(4005, bytes), ResourceLookup::Found);
    EXPECT_EQ(bytes.size, 0u);
}

TEST(TextResource, ProgramResourcesAreEmbeddedAlongsideTheTestOnes) {
    for (std::uint32_t id = 101; id <= 110; ++id) {
        const std::string source = LoadTextResource(id);
        EXPECT_EQ(source.rfind("#version 330 core", 0), 0u) << "shader resource " << id;
    }
    ResourceBytes font;
    ASSERT_EQ(LookUpResource(250, font), ResourceLookup::Found);
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
