// The world's rules that need no window: where creatures start, when they count as gone, when
// the next one is due, which way they face and which sheet shows them.
#include "core/random.h"
#include "core/resource_ids.h"
#include "tests/support/random_replay.h"
#include "world/animation_sheets.h"
#include "world/heading.h"
#include "world/placement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>
#include <set>
#include <string>

namespace {

constexpr ScreenSize FullHd{1920, 1080};
constexpr Vec2 MaleBox{125.0f, 125.0f};

void ExpectStart(const EdgeStart& start, Vec2 position, Vec2 direction) {
    EXPECT_EQ(start.position.x, position.x);
    EXPECT_EQ(start.position.y, position.y);
    EXPECT_EQ(start.direction.x, direction.x);
    EXPECT_EQ(start.direction.y, direction.y);
}

}  // namespace

// Expected values come from an independent model of the generator and the edge rule.
TEST(WorldSpawnOnEdge, EachEdgeFromKnownSeeds) {
    SeedRandom(3);  // left edge
    ExpectStart(SpawnOnEdge(FullHd, MaleBox), {-125, 716}, {1, 0});
    SeedRandom(7);  // right edge, upper half drifts down
    ExpectStart(SpawnOnEdge(FullHd, MaleBox), {1920, 142}, {-1, 1});
    SeedRandom(5);  // top edge, right half drifts left
    ExpectStart(SpawnOnEdge(FullHd, MaleBox), {1813, -125}, {-1, 1});
    SeedRandom(4);  // bottom edge, left half drifts right
    ExpectStart(SpawnOnEdge(FullHd, MaleBox), {665, 1080}, {1, -1});
    // The box size sets how far outside the edge it starts: a female box starts at -100.
    SeedRandom(3);
    ExpectStart(SpawnOnEdge(FullHd, {100.0f, 100.0f}), {-100, 716}, {1, 0});
}

TEST(WorldSpawnOnEdge, DriftTurnsAtHalfTheEdgeWithTheMiddleCountingAsNearHalf) {
    // y = 540 is not past the middle of 1080: it drifts 0 or +1; y = 541 drifts 0 or -1.
    SeedRandom(10504);
    ExpectStart(SpawnOnEdge(FullHd, MaleBox), {-125, 540}, {1, 1});
    SeedRandom(1321);
    ExpectStart(SpawnOnEdge(FullHd, MaleBox), {-125, 540}, {1, 0});
    SeedRandom(989);
    ExpectStart(SpawnOnEdge(FullHd, MaleBox), {-125, 541}, {1, -1});
    SeedRandom(10172);
    ExpectStart(SpawnOnEdge(FullHd, MaleBox), {-125, 541}, {1, 0});
    SeedRandom(4766);
    ExpectStart(SpawnOnEdge(FullHd, MaleBox), {960, -125}, {1, 1});
    SeedRandom(2130);
    ExpectStart(SpawnOnEdge(FullHd, MaleBox), {961, -125}, {-1, 1});
    SeedRandom(10483);  // the last column of the bottom edge
    ExpectStart(SpawnOnEdge(FullHd, MaleBox), {1919, 1080}, {-1, -1});
    SeedRandom(1331);  // the first row of the right edge
    ExpectStart(SpawnOnEdge(FullHd, MaleBox), {1920, 0}, {-1, 0});
}

TEST(WorldSpawnOnEdge, AlwaysThreeDrawsAlwaysTouchingAnEdgeAlwaysHeadingIn) {
    std::set<std::pair<float, float>> directions;
    for (std::uint32_t seed = 0; seed < 2000; ++seed) {
        SeedRandom(seed);
        const EdgeStart start = SpawnOnEdge(FullHd, MaleBox);
        ASSERT_EQ(DrawsConsumedSince(seed), 3) << "seed " << seed;
        directions.insert({start.direction.x, start.direction.y});

        const Vec2 p = start.position;
        const bool left = p.x == -125 && start.direction.x == 1;
        const bool right = p.x == 1920 && start.direction.x == -1;
        const bool top = p.y == -125 && start.direction.y == 1;
        const bool bottom = p.y == 1080 && start.direction.y == -1;
        ASSERT_EQ(left + right + top + bottom, 1) << "seed " << seed;
        // Just outside, touching: never on screen at birth.
        EXPECT_FALSE(IsOnScreen(p, MaleBox, FullHd)) << "seed " << seed;
        if (left || right) {
            EXPECT_TRUE(p.y >= 0 && p.y < 1080);
        }
        if (top || bottom) {
            EXPECT_TRUE(p.x >= 0 && p.x < 1920);
        }
    }
    // Four straight and four diagonal headings all occur; never (0, 0).
    EXPECT_EQ(directions.size(), 8u);
    EXPECT_EQ(directions.count({0.0f, 0.0f}), 0u);
}

TEST(WorldSpawnOnEdge, DegenerateScreensStillGiveAStartWithoutDividingByZero) {
    for (ScreenSize screen : {ScreenSize{0, 0}, ScreenSize{-5, 1080}, ScreenSize{1920, 0}, ScreenSize{1, 1}}) {
        for (std::uint32_t seed = 0; seed < 50; ++seed) {
            SeedRandom(seed);
            const EdgeStart start = SpawnOnEdge(screen, MaleBox);
            EXPECT_EQ(DrawsConsumedSince(seed), 3);
            EXPECT_TRUE(std::isfinite(start.position.x) && std::isfinite(start.position.y));
        }
    }
    SeedRandom(3);
    const EdgeStart start = SpawnOnEdge(FullHd, {std::numeric_limits<float>::quiet_NaN(), 1e30f});
    EXPECT_TRUE(std::isfinite(start.position.x) && std::isfinite(start.position.y));
}

TEST(WorldCulling, TouchingAnEdgeFromOutsideIsOffScreenAtAllFour) {
    const Vec2 box{125, 125};
    // Left: right side of the box at x = 0 is off, a hair inside is on.
    EXPECT_FALSE(IsOnScreen({-125.0f, 300}, box, FullHd));
    EXPECT_TRUE(IsOnScreen({-124.2f, 300}, box, FullHd));
    // Right.
    EXPECT_FALSE(IsOnScreen({1920.0f, 300}, box, FullHd));
    EXPECT_TRUE(IsOnScreen({1919.9f, 300}, box, FullHd));
    // Top.
    EXPECT_FALSE(IsOnScreen({500, -125.0f}, box, FullHd));
    EXPECT_TRUE(IsOnScreen({500, -124.9f}, box, FullHd));
    // Bottom.
    EXPECT_FALSE(IsOnScreen({500, 1080.0f}, box, FullHd));
    EXPECT_TRUE(IsOnScreen({500, 1079.9f}, box, FullHd));
    // Past one edge is enough, whatever the other axis says.
    EXPECT_FALSE(IsOnScreen({500, -200}, box, FullHd));
    EXPECT_FALSE(IsOnScreen({-300, 500}, box, FullHd));
    // A position that is not a number is nowhere.
    EXPECT_FALSE(IsOnScreen({std::nanf(""), 500}, box, FullHd));
}

TEST(WorldSpawnTimer, OneSecondFramesSpawnInTheThirdAndFifthFrames) {
    SpawnTimer timer;
    std::vector<int> spawnFrames;
    for (int frame = 1; frame <= 10; ++frame)
        if (timer.Tick(1.0f)) spawnFrames.push_back(frame);
    EXPECT_EQ(spawnFrames, (std::vector<int>{3, 5, 8, 10}));
    EXPECT_FLOAT_EQ(timer.spawnTimer, 0.0f);

    SpawnTimer fresh;
    fresh.Tick(1.0f);
    fresh.Tick(1.0f);
    EXPECT_TRUE(fresh.Tick(1.0f));
    EXPECT_FLOAT_EQ(fresh.spawnTimer, 0.5f);  // the remainder carries over
}

TEST(WorldSpawnTimer, ALongStallIsCaughtUpOnePerFrame) {
    SpawnTimer timer;
    EXPECT_TRUE(timer.Tick(10.0f));
    EXPECT_FLOAT_EQ(timer.spawnTimer, 7.5f);
    EXPECT_TRUE(timer.Tick(0.01f));
    EXPECT_NEAR(timer.spawnTimer, 5.01f, 1e-5);
    EXPECT_TRUE(timer.Tick(0.01f));
    EXPECT_NEAR(timer.spawnTimer, 2.52f, 1e-5);
    EXPECT_TRUE(timer.Tick(0.01f));
    EXPECT_NEAR(timer.spawnTimer, 0.03f, 1e-5);
    // Then nothing until 2.5 s have gathered again: about 247 more frames of 0.01 s.
    int quietFrames = 0;
    while (!timer.Tick(0.01f)) ++quietFrames;
    EXPECT_GE(quietFrames, 245);
    EXPECT_LE(quietFrames, 248);
}

TEST(WorldSpawnTimer, AFrameTimeThatIsNotANumberAddsNothing) {
    SpawnTimer timer;
    EXPECT_FALSE(timer.Tick(std::nanf("")));
    EXPECT_FALSE(timer.Tick(std::numeric_limits<float>::infinity()));
    EXPECT_FALSE(timer.Tick(2.0f));
    EXPECT_TRUE(timer.Tick(0.5f));
}

TEST(WorldHeading, CompassPointsAndDiagonalsAtEverySpeed) {
    EXPECT_EQ(HeadingSector({50, 0}), E);
    EXPECT_EQ(HeadingSector({0, -50}), N);
    EXPECT_EQ(HeadingSector({0, 30}), S);
    EXPECT_EQ(HeadingSector({-50, 0}), W);
    EXPECT_EQ(HeadingSector({140, -140}), NE);
    EXPECT_EQ(HeadingSector({-100, 100}), SW);
    EXPECT_EQ(HeadingSector({100, 100}), SE);
    EXPECT_EQ(HeadingSector({-30, -30}), NW);
    // Every velocity a creature can have: directions with components -1, 0, 1 times its speed.
    const Direction expected[3][3] = {{NW, W, SW}, {N, S, S}, {NE, E, SE}};  // [dx + 1][dy + 1]
    for (float speed : {30.0f, 50.0f, 100.0f, 140.0f, 1e-3f, 1e25f})
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                if (dx == 0 && dy == 0) continue;
                EXPECT_EQ(HeadingSector({dx * speed, dy * speed}), expected[dx + 1][dy + 1])
                    << dx << "," << dy << " x " << speed;
            }
}

TEST(WorldHeading, SectorsAreCentredOnTheirCompassPoints) {
    // Sweep the bearing clockwise from north; 20 degrees either side of each point stays in
    // its sector, which catches a mirrored sign or a shifted table.
    for (int sector = 0; sector < 8; ++sector) {
        for (float offset : {-20.0f, 0.0f, 20.0f}) {
            const float bearing = (sector * 45.0f + offset) * 3.14159265f / 180.0f;
            const Vec2 velocity{100.0f * std::sin(bearing), -100.0f * std::cos(bearing)};
            EXPECT_EQ(HeadingSector(velocity), sector) << "sector " << sector << " offset " << offset;
        }
    }
}

TEST(WorldHeading, NoMotionOrBrokenMotionFacesTheViewer) {
    EXPECT_EQ(HeadingSector({0, 0}), S);
    EXPECT_EQ(HeadingSector({-0.0f, 0.0f}), S);
    EXPECT_EQ(HeadingSector({std::nanf(""), 10}), S);
    EXPECT_EQ(HeadingSector({std::numeric_limits<float>::infinity(), 0}), S);
}

// Every heading of every group shows its own catalogued sheet, named for that heading: a group
// pointing two headings at one sheet, or a name at another heading's id, fails here.
TEST(WorldSheets, EveryHeadingOfEveryGroupHasItsOwnCataloguedSheet) {
    const char* const compass[8] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
    std::set<std::uint32_t> ids;
    std::set<std::string> names;
    for (SheetGroup group : {SheetGroup::FemaleZombieRun, SheetGroup::FemaleZombieWalk, SheetGroup::MaleZombieRun,
                             SheetGroup::MaleZombieWalk, SheetGroup::SoldierWalk, SheetGroup::SoldierHit}) {
        const std::string north = SheetTextureName(group, N);
        const std::string prefix = north.substr(0, north.size() - 1);
        for (int direction = N; direction <= NW; ++direction) {
            EXPECT_GT(SheetFrameCount(SheetResourceId(group, direction)), 0u) << prefix << direction;
            EXPECT_EQ(SheetTextureName(group, direction), prefix + compass[direction]);
            ids.insert(SheetResourceId(group, direction));
            names.insert(SheetTextureName(group, direction));
        }
    }
    EXPECT_EQ(ids.size(), std::size(SpriteSheets));
    EXPECT_EQ(names.size(), 48u);
    // The generated names tie a heading's texture name to the manifest line of its image.
    EXPECT_EQ(SheetResourceId(SheetGroup::MaleZombieWalk, N), ResourceId::MaleZombieWalkN);
    EXPECT_EQ(SheetTextureName(SheetGroup::SoldierHit, NW), "swat_soldier_hit_NW");
    EXPECT_EQ(SheetResourceId(SheetGroup::SoldierHit, NW), ResourceId::SwatSoldierHitNW);
}

TEST(WorldSheets, ADirectionOutsideTheCompassHasNoSheet) {
    EXPECT_EQ(SheetResourceId(SheetGroup::MaleZombieWalk, 8), 0u);
    EXPECT_EQ(SheetResourceId(SheetGroup::MaleZombieWalk, -1), 0u);
    EXPECT_EQ(SheetTextureName(SheetGroup::MaleZombieWalk, 8), "");
}
