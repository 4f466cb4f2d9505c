// The reading child's answer: what it says arrives whole, what was cut short keeps what came
// before the cut, and what is malformed is not believed.
#ifdef __linux__

#include "desktop/xdg/desktop_snapshot.h"

#include <gtest/gtest.h>

namespace {

RgbaImage Solid(std::int32_t width, std::int32_t height, unsigned char value) {
    RgbaImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * height * 4, value);
    return image;
}

DesktopSnapshot Sample() {
    DesktopSnapshot snapshot;
    snapshot.iconSize = 64;
    snapshot.items = {{"Home", 0}, {"notes \xC3\xA9.txt", 1}, {"", -1}};
    snapshot.view = {{1, {10, -20}}, {0, {300, 400}}};
    snapshot.wallpaper.path = "/home/u/Pictures/sky.jpg";
    snapshot.wallpaper.color = Color{0.25f, 0.5f, 1.0f};
    snapshot.wallpaper.gradient = ColorGradient{{0, 0, 0}, {1, 1, 1}, GradientDirection::Horizontal, GradientRamp::MiddleHalf};
    snapshot.images.resize(2);
    return snapshot;
}

TEST(DesktopSnapshot, ArrivesWholeAndKeepsWhatCameBeforeACut) {
    const DesktopSnapshot sent = Sample();
    const std::string head = EncodeSnapshotHead(sent);
    const std::string images = EncodeSnapshotImage(1, Solid(64, 32, 7)) + EncodeSnapshotImage(0, Solid(2, 2, 9));
    const std::optional<DesktopSnapshot> received = DecodeSnapshot(head + images);
    ASSERT_TRUE(received.has_value());
    EXPECT_EQ(received->iconSize, 64);
    ASSERT_EQ(received->items.size(), 3u);
    EXPECT_EQ(received->items[1].displayName, "notes \xC3\xA9.txt");
    EXPECT_EQ(received->items[2].imageIndex, -1);
    ASSERT_EQ(received->view.size(), 2u);
    EXPECT_EQ(received->view[0].item, 1u);
    EXPECT_EQ(received->view[0].position.y, -20);
    EXPECT_EQ(received->wallpaper.path, sent.wallpaper.path);
    EXPECT_FLOAT_EQ(received->wallpaper.color->g, 0.5f);
    EXPECT_EQ(received->wallpaper.gradient->direction, GradientDirection::Horizontal);
    EXPECT_EQ(received->wallpaper.gradient->ramp, GradientRamp::MiddleHalf);
    ASSERT_EQ(received->images.size(), 2u);
    ASSERT_TRUE(received->images[0] && received->images[1]);
    EXPECT_EQ(received->images[1]->height, 32);
    EXPECT_EQ(received->images[0]->pixels, Solid(2, 2, 9).pixels);

    // Cut anywhere: before the head's end nothing; after it the items, and the images whole so far.
    const std::string all = head + images;
    for (std::size_t cut = 0; cut < all.size(); ++cut) {
        const std::optional<DesktopSnapshot> part = DecodeSnapshot(std::string_view(all).substr(0, cut));
        if (cut < head.size()) {
            EXPECT_FALSE(part.has_value()) << cut;
            continue;
        }
        ASSERT_TRUE(part.has_value()) << cut;
        EXPECT_EQ(part->items.size(), 3u);
        const bool first = cut >= head.size() + EncodeSnapshotImage(1, Solid(64, 32, 7)).size();
        EXPECT_EQ(part->images[1].has_value(), first) << cut;
        EXPECT_FALSE(part->images[0].has_value()) << cut;
    }
}

TEST(DesktopSnapshot, WhatIsMalformedIsNotBelieved) {
    const DesktopSnapshot sent = Sample();
    const auto with = [&](auto change) {
        DesktopSnapshot snapshot = sent;
        change(snapshot);
        return DecodeSnapshot(EncodeSnapshotHead(snapshot));
    };
    EXPECT_FALSE(with([](DesktopSnapshot& s) { s.view.push_back({7, {0, 0}}); }));       // no such item
    EXPECT_FALSE(with([](DesktopSnapshot& s) { s.items[0].imageIndex = 5; }));           // no such image
    EXPECT_FALSE(with([](DesktopSnapshot& s) { s.iconSize = 4096; }));                   // no icon size
    EXPECT_FALSE(with([](DesktopSnapshot& s) { s.wallpaper.color = Color{2, 0, 0}; }));  // no colour
    EXPECT_FALSE(DecodeSnapshot("another program's bytes"));
    // An image beyond the icon size, or of an index out of range, ends the images there.
    const std::string head = EncodeSnapshotHead(sent);
    for (const std::string& bad : {EncodeSnapshotImage(0, Solid(65, 1, 1)), EncodeSnapshotImage(2, Solid(1, 1, 1)),
                                   EncodeSnapshotImage(-1, Solid(1, 1, 1))}) {
        const std::optional<DesktopSnapshot> read = DecodeSnapshot(head + bad + EncodeSnapshotImage(1, Solid(1, 1, 1)));
        ASSERT_TRUE(read.has_value());
        EXPECT_FALSE(read->images[0] || read->images[1]);
    }
}

}  // namespace

#endif  // __linux__
