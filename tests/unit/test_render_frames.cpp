// The frame advance, the sprite model matrix and the screen projection: the arithmetic that
// decides which frame shows and where a sprite lands.
#include "core/geometry.h"
#include "render/sprite_renderer.h"

#include <gtest/gtest.h>

namespace {

constexpr float duration = 0.03f;

TEST(FrameAdvance, HoldsTheFrameUntilTheDurationIsReached) {
    float timer = 0.01f;
    EXPECT_EQ(AdvanceFrame(7, timer, 0.01f, 36, duration), 7u);
    EXPECT_FLOAT_EQ(timer, 0.02f);
}

TEST(FrameAdvance, RestartsTheTimerAtExactlyZeroDroppingTheExcess) {
    float timer = 0.02f;
    EXPECT_EQ(AdvanceFrame(3, timer, 0.02f, 36, duration), 4u);
    EXPECT_EQ(timer, 0.0f);

    // A stalled frame still moves on by one frame only.
    timer = 0.0f;
    EXPECT_EQ(AdvanceFrame(3, timer, 0.5f, 36, duration), 4u);
    EXPECT_EQ(timer, 0.0f);
}

TEST(FrameAdvance, ReachingTheDurationExactlyAdvances) {
    float timer = 0.0f;
    EXPECT_EQ(AdvanceFrame(0, timer, duration, 25, duration), 1u);
}

TEST(FrameAdvance, WrapsAfterTheLastFrame) {
    float timer = 0.0f;
    EXPECT_EQ(AdvanceFrame(35, timer, 0.05f, 36, duration), 0u);
    EXPECT_EQ(AdvanceFrame(34, timer, 0.05f, 35, duration), 0u);
    EXPECT_EQ(AdvanceFrame(24, timer, 0.05f, 25, duration), 0u);
    // An index already past the strip goes back to the start on its next advance.
    EXPECT_EQ(AdvanceFrame(40, timer, 0.05f, 36, duration), 0u);
}

TEST(FrameAdvance, OneFrameStripsAndEmptyStripsStayOnFrameZero) {
    float timer = 0.0f;
    EXPECT_EQ(AdvanceFrame(0, timer, 0.05f, 1, duration), 0u);
    EXPECT_EQ(AdvanceFrame(0, timer, 0.05f, 0, duration), 0u);
}

TEST(FrameAdvance, SixtyHertzShowsEachFrameForTwoDraws) {
    float timer = 0.0f;
    std::uint32_t frame = 0;
    const float dt = 1.0f / 60.0f;
    std::uint32_t shown[6];
    for (auto& value : shown) value = frame = AdvanceFrame(frame, timer, dt, 36, duration);
    EXPECT_EQ(shown[0], 0u);
    EXPECT_EQ(shown[1], 1u);
    EXPECT_EQ(shown[2], 1u);
    EXPECT_EQ(shown[3], 2u);
    EXPECT_EQ(shown[5], 3u);
}

void ExpectPoint(Vec2 actual, float x, float y) {
    EXPECT_NEAR(actual.x, x, 1e-3f);
    EXPECT_NEAR(actual.y, y, 1e-3f);
}

TEST(SpriteModelMatrix, PlacesTheUnitSquareOnThePixelRectangle) {
    const Mat4 model = SpriteModelMatrix({100.0f, 50.0f}, {200.0f, 250.0f}, 0.0f);
    ExpectPoint(Transform(model, {0.0f, 0.0f}), 100.0f, 50.0f);   // top-left: the sheet's first row
    ExpectPoint(Transform(model, {1.0f, 1.0f}), 300.0f, 300.0f);  // bottom-right
    ExpectPoint(Transform(model, {1.0f, 0.0f}), 300.0f, 50.0f);
}

TEST(SpriteModelMatrix, RotatesClockwiseOnScreenAboutTheCentre) {
    const Mat4 model = SpriteModelMatrix({100.0f, 50.0f}, {200.0f, 250.0f}, 90.0f);
    // The centre stays put.
    ExpectPoint(Transform(model, {0.5f, 0.5f}), 200.0f, 175.0f);
    // The middle of the top edge now lies right of the centre: the top faces right.
    ExpectPoint(Transform(model, {0.5f, 0.0f}), 325.0f, 175.0f);
    // The top-left corner has gone to the top-right.
    ExpectPoint(Transform(model, {0.0f, 0.0f}), 325.0f, 75.0f);
}

TEST(ScreenProjection, MapsThePixelSpaceOfTheScreenToClipSpace) {
    const Mat4 projection = Mat4::ScreenProjection(1920.0f, 1080.0f);
    ExpectPoint(Transform(projection, {0.0f, 0.0f}), -1.0f, 1.0f);
    ExpectPoint(Transform(projection, {1920.0f, 1080.0f}), 1.0f, -1.0f);
    ExpectPoint(Transform(projection, {960.0f, 540.0f}), 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(projection(2, 2), -1.0f);
    EXPECT_FLOAT_EQ(projection(3, 3), 1.0f);
    // Column-major as uploaded: the x translation sits in element 12.
    EXPECT_FLOAT_EQ(projection.values[12], -1.0f);
    EXPECT_FLOAT_EQ(projection.values[13], 1.0f);
}

TEST(Mat4, ProductAppliesTheRightFactorFirst) {
    const Mat4 scaleThenMove = Mat4::Translation(10.0f, 20.0f, 0.0f) * Mat4::Scale(2.0f, 3.0f, 1.0f);
    ExpectPoint(Transform(scaleThenMove, {1.0f, 1.0f}), 12.0f, 23.0f);
    const Mat4 moveThenScale = Mat4::Scale(2.0f, 3.0f, 1.0f) * Mat4::Translation(10.0f, 20.0f, 0.0f);
    ExpectPoint(Transform(moveThenScale, {1.0f, 1.0f}), 22.0f, 63.0f);
}

}  // namespace
