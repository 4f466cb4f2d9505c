// Creatures without a window: their random births, movement and culling, the timed spawn, the
// draw order by renderer, and a teardown that leaves nothing behind. The sets here have no
// sheets, so nothing is drawn; renderers are stand-in addresses that are only compared.
#include "core/random.h"
#include "render/sprite_renderer.h"
#include "world/animation_sets.h"
#include "world/game_object.h"
#include "world/population.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr ScreenSize FullHd{1920, 1080};

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& creature : gameObjects) names.push_back(creature->name);
    return names;
}

class WorldCreatures : public ::testing::Test {
protected:
    void SetUp() override {
        DestroyCreatures();
        maleZombieSet = std::make_unique<SpriteAnimation>(Vec2{125.0f, 125.0f}, Color{});
        femaleZombieSet = std::make_unique<SpriteAnimation>(Vec2{100.0f, 100.0f}, Color{});
    }
    void TearDown() override {
        DestroyCreatures();
        DestroyAnimationSets();
    }

    // A creature at a chosen place, appended like a spawned one.
    GameObject& Place(Vec2 position, Vec2 velocity, SpriteAnimation* set, int state = ::Walk) {
        gameObjects.push_back(std::make_unique<Zombie>(position, velocity, set, state));
        gameObjects.back()->name = "z" + std::to_string(gameObjects.size() - 1);
        return *gameObjects.back();
    }

    Population population;
};

void ExpectCreature(const GameObject& creature, const std::string& name, Vec2 position, Vec2 velocity, int state) {
    EXPECT_EQ(creature.name, name);
    EXPECT_EQ(creature.position.x, position.x) << name;
    EXPECT_EQ(creature.position.y, position.y) << name;
    EXPECT_EQ(creature.velocity.x, velocity.x) << name;
    EXPECT_EQ(creature.velocity.y, velocity.y) << name;
    EXPECT_EQ(creature.state, state) << name;
}

}  // namespace

// ---- Births ------------------------------------------------------------------------------

// Expected values come from an independent model of the generator and the spawn rules; how many
// draws each birth takes is pinned by the crowd below, whose later members depend on it.
TEST_F(WorldCreatures, SpawnZombieFromKnownSeeds) {
    struct Case {
        std::uint32_t seed;
        bool male;
        Vec2 position, velocity;
        int state;
    };
    const Case cases[] = {
        {27, true, {754, -125}, {0, 50}, ::Walk},         // walking male, top edge, straight down
        {53, false, {1888, 1080}, {-100, -100}, ::Run},   // running female, bottom edge, drifting left
        {14, false, {-100, 843}, {30, -30}, ::Walk},      // walking female, left edge, drifting up
        {18, true, {1920, 952}, {-140, -140}, ::Run},     // running male, right edge, diagonal
    };
    for (const Case& c : cases) {
        DestroyCreatures();
        population.spawnIndex = 7;
        SeedRandom(c.seed);
        SpawnZombie(FullHd, population);
        ASSERT_EQ(gameObjects.size(), 1u);
        const GameObject& creature = *gameObjects.front();
        ExpectCreature(creature, std::string(c.male ? "Zombie_Male_" : "Zombie_Female_") + "7", c.position,
                       c.velocity, c.state);
        EXPECT_EQ(dynamic_cast<const MaleZombie*>(&creature) != nullptr, c.male);
        EXPECT_EQ(dynamic_cast<const FemaleZombie*>(&creature) != nullptr, !c.male);
        EXPECT_EQ(creature.animation->set, c.male ? maleZombieSet.get() : femaleZombieSet.get());
        EXPECT_EQ(population.spawnIndex, 8);
    }
}

TEST_F(WorldCreatures, ConstructorsRepeatFromTheSameSeed) {
    SeedRandom(99);
    FemaleZombie first(FullHd, ::Run, 27);
    SeedRandom(99);
    FemaleZombie again(FullHd, ::Run, 27);
    EXPECT_EQ(first.name, "Zombie_Female_27");
    EXPECT_EQ(first.position.x, again.position.x);
    EXPECT_EQ(first.position.y, again.position.y);
    EXPECT_EQ(first.velocity.x, again.velocity.x);
    EXPECT_EQ(first.velocity.y, again.velocity.y);

    SeedRandom(3);  // the left edge: a male starts a whole male box outside
    MaleZombie male(FullHd, ::Walk, 0);
    ExpectCreature(male, "Zombie_Male_0", {-125, 716}, {50, 0}, ::Walk);
    // Any state other than Walk runs.
    SeedRandom(3);
    EXPECT_EQ(MaleZombie(FullHd, 5, 1).velocity.x, 140.0f);
}

TEST_F(WorldCreatures, ANewCreatureStartsItsAnimationAtTheBeginningAndIsVisible) {
    SeedRandom(1);
    MaleZombie creature(FullHd, ::Run, 3);
    EXPECT_EQ(creature.animation->frame, 0u);
    EXPECT_EQ(creature.animation->elapsed, 0.0f);
    EXPECT_EQ(creature.animation->set, maleZombieSet.get());
    EXPECT_FALSE(creature.hit);
    EXPECT_TRUE(creature.visible);
}

TEST_F(WorldCreatures, WithoutABuiltSetTheKindsOwnBoxPlacesTheCreature) {
    DestroyAnimationSets();
    SeedRandom(3);
    FemaleZombie creature(FullHd, ::Walk, 0);
    EXPECT_EQ(creature.position.x, -100.0f);
    EXPECT_EQ(creature.animation->set, nullptr);
    creature.Draw(0.1f);  // nothing to draw with, and no harm done
    EXPECT_EQ(creature.animation->frame, 0u);
}

TEST_F(WorldCreatures, TheFirstCrowdIsTwentyInSpawnOrderAndTheTimerContinuesTheCount) {
    SeedRandom(12345);
    SpawnFirstCrowd(FullHd, population);
    ASSERT_EQ(gameObjects.size(), 20u);
    EXPECT_EQ(population.spawnIndex, 20);
    // Gender follows each creature's second draw.
    const char* genders = "MFMMFFMMFMMFFFMMMMMM";
    int index = 0;
    for (const auto& creature : gameObjects) {
        const bool male = genders[index] == 'M';
        EXPECT_EQ(creature->name, std::string(male ? "Zombie_Male_" : "Zombie_Female_") + std::to_string(index));
        ++index;
    }
    auto nth = [](int n) { return std::next(gameObjects.begin(), n)->get(); };
    ExpectCreature(*nth(0), "Zombie_Male_0", {1005, 1080}, {0, -50}, ::Walk);
    ExpectCreature(*nth(3), "Zombie_Male_3", {-125, 155}, {50, 50}, ::Walk);
    ExpectCreature(*nth(11), "Zombie_Female_11", {1784, -100}, {-100, 100}, ::Run);
    ExpectCreature(*nth(19), "Zombie_Male_19", {1664, -125}, {0, 140}, ::Run);

    // One-second frames: the third brings creature 20, the fifth creature 21.
    std::vector<std::size_t> sizes;
    for (int frame = 0; frame < 5; ++frame) {
        RunTimedSpawn(1.0f, FullHd, population);
        sizes.push_back(gameObjects.size());
    }
    EXPECT_EQ(sizes, (std::vector<std::size_t>{20, 20, 21, 21, 22}));
    ExpectCreature(*nth(20), "Zombie_Female_20", {311, 1080}, {0, -100}, ::Run);
    ExpectCreature(*nth(21), "Zombie_Female_21", {-100, 654}, {30, 0}, ::Walk);
}

TEST_F(WorldCreatures, AStallSpawnsOnePerFrameUntilTheTimerIsBelowThePeriod) {
    SeedRandom(5);
    RunTimedSpawn(10.0f, FullHd, population);
    EXPECT_EQ(gameObjects.size(), 1u);
    for (int frame = 0; frame < 3; ++frame) RunTimedSpawn(0.01f, FullHd, population);
    EXPECT_EQ(gameObjects.size(), 4u);
    for (int frame = 0; frame < 200; ++frame) RunTimedSpawn(0.01f, FullHd, population);
    EXPECT_EQ(gameObjects.size(), 4u);
    int index = 0;
    for (const auto& creature : gameObjects) {
        const std::string suffix = "_" + std::to_string(index++);
        EXPECT_TRUE(creature->name.ends_with(suffix)) << creature->name;
    }
    EXPECT_EQ(population.spawnIndex, 4);
}

// ---- Movement and culling ------------------------------------------------------------------

TEST_F(WorldCreatures, MovingInFromTheLeftEdgeAndStandingStillOnIt) {
    GameObject& walker = Place({-125, 300}, {50, 0}, maleZombieSet.get());
    UpdateGameObjects({0.016f, FullHd});
    ASSERT_EQ(gameObjects.size(), 1u);
    EXPECT_FLOAT_EQ(walker.position.x, -124.2f);
    EXPECT_EQ(walker.position.y, 300.0f);

    DestroyCreatures();
    Place({-125, 300}, {50, 0}, maleZombieSet.get());
    UpdateGameObjects({0.0f, FullHd});  // still touching the edge from outside
    EXPECT_TRUE(gameObjects.empty());
}

TEST_F(WorldCreatures, TheRightAndBottomEdgesCullAtExactlyTheScreenSize) {
    Place({1919.9f, 300}, {0, 0}, maleZombieSet.get());
    Place({1920.0f, 300}, {0, 0}, maleZombieSet.get());
    Place({300, 1079.9f}, {0, 0}, maleZombieSet.get());
    Place({300, 1080.0f}, {0, 0}, maleZombieSet.get());
    Place({300, -99.9f}, {0, 0}, femaleZombieSet.get());
    Place({300, -100.0f}, {0, 0}, femaleZombieSet.get());
    UpdateGameObjects({0.0f, FullHd});
    EXPECT_EQ(Names(), (std::vector<std::string>{"z0", "z2", "z4"}));
}

TEST_F(WorldCreatures, ADiagonalLeavesThroughTheTopWhateverItsX) {
    GameObject& runner = Place({900, 10}, {-140, -140}, maleZombieSet.get());
    int frames = 0;
    while (!gameObjects.empty() && frames < 1000) {
        UpdateGameObjects({0.1f, FullHd});
        ++frames;
        if (!gameObjects.empty()) {
            EXPECT_GT(runner.position.y + 125.0f, 0.0f);
        }
    }
    // 135 px to cover at 14 px a frame: gone in the tenth frame, still far inside horizontally.
    EXPECT_EQ(frames, 10);
}

TEST_F(WorldCreatures, SeveralLeavingInOneFrameKeepTheOthersInOrder) {
    Place({500, 500}, {10, 0}, maleZombieSet.get());
    Place({-120, 500}, {-100, 0}, maleZombieSet.get());    // leaves left
    Place({600, 500}, {0, 10}, femaleZombieSet.get());
    Place({1915, 500}, {100, 0}, femaleZombieSet.get());   // leaves right
    Place({700, 1075}, {0, 100}, maleZombieSet.get());     // leaves bottom
    Place({800, 500}, {-10, -10}, maleZombieSet.get());
    const std::size_t before = GameObject::LiveCount();
    UpdateGameObjects({0.1f, FullHd});
    EXPECT_EQ(Names(), (std::vector<std::string>{"z0", "z2", "z5"}));
    EXPECT_EQ(GameObject::LiveCount(), before - 3);  // deleted, not just unlinked
}

TEST_F(WorldCreatures, AHitCreatureIsNeitherMovedNorCulled) {
    GameObject& frozen = Place({-500, -500}, {50, 50}, maleZombieSet.get());
    frozen.hit = true;
    UpdateGameObjects({1.0f, FullHd});
    ASSERT_EQ(gameObjects.size(), 1u);
    EXPECT_EQ(frozen.position.x, -500.0f);
    EXPECT_EQ(frozen.position.y, -500.0f);
}

TEST_F(WorldCreatures, EmptySlotsInTheListAreDroppedSafely) {
    Place({500, 500}, {0, 0}, maleZombieSet.get());
    gameObjects.push_back(nullptr);
    Place({600, 500}, {0, 0}, maleZombieSet.get());
    UpdateGameObjects({0.1f, FullHd});
    EXPECT_EQ(gameObjects.size(), 2u);
    gameObjects.push_back(nullptr);
    BuildDrawSequence(population);
    EXPECT_EQ(population.drawSequence.size(), 2u);
}

// ---- Draw order ----------------------------------------------------------------------------

TEST_F(WorldCreatures, CreaturesSharingARendererAreDrawnTogetherAndTheListKeepsItsOrder) {
    // Stand-in renderer identities: only their addresses take part in the order.
    alignas(FrameStripRenderer) static unsigned char storage[2][sizeof(FrameStripRenderer)];
    auto* maleWalk = reinterpret_cast<FrameStripRenderer*>(storage[1]);
    auto* femaleRun = reinterpret_cast<FrameStripRenderer*>(storage[0]);
    maleZombieSet->renderers[::Walk] = maleWalk;
    femaleZombieSet->renderers[::Run] = femaleRun;

    Place({100, 100}, {0, 30}, femaleZombieSet.get(), ::Run);
    Place({200, 100}, {50, 0}, maleZombieSet.get(), ::Walk);
    Place({300, 100}, {0, 30}, femaleZombieSet.get(), ::Run);
    Place({400, 100}, {50, 0}, maleZombieSet.get(), ::Walk);
    Place({500, 100}, {0, 30}, femaleZombieSet.get(), ::Run);

    population.drawSequence = {gameObjects.front().get()};  // stale content is replaced
    BuildDrawSequence(population);
    const std::vector<GameObject*>& sequence = population.drawSequence;
    ASSERT_EQ(sequence.size(), 5u);
    std::vector<const FrameStripRenderer*> keys;
    for (const GameObject* creature : sequence) keys.push_back(RendererOf(*creature));
    EXPECT_EQ(keys, (std::vector<const FrameStripRenderer*>{femaleRun, femaleRun, femaleRun, maleWalk, maleWalk}));
    std::vector<std::string> firstGroup{sequence[0]->name, sequence[1]->name, sequence[2]->name};
    std::sort(firstGroup.begin(), firstGroup.end());
    EXPECT_EQ(firstGroup, (std::vector<std::string>{"z0", "z2", "z4"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"z0", "z1", "z2", "z3", "z4"}));
}

TEST_F(WorldCreatures, AStateWithoutARendererSortsFirstAndDoesNotGrowTheSet) {
    alignas(FrameStripRenderer) static unsigned char storage[sizeof(FrameStripRenderer)];
    maleZombieSet->renderers[::Walk] = reinterpret_cast<FrameStripRenderer*>(storage);
    Place({100, 100}, {50, 0}, maleZombieSet.get(), ::Walk);
    Place({200, 100}, {50, 0}, maleZombieSet.get(), ::Run);  // the set serves no ::Run
    BuildDrawSequence(population);
    const std::vector<GameObject*>& sequence = population.drawSequence;
    ASSERT_EQ(sequence.size(), 2u);
    EXPECT_EQ(sequence[0]->name, "z1");
    EXPECT_EQ(RendererOf(*sequence[0]), nullptr);
    EXPECT_EQ(maleZombieSet->renderers.size(), 1u);
    EXPECT_EQ(maleZombieSet->textures.size(), 0u);

    // Drawing it asks the set for a sheet it lacks: nothing is drawn and nothing changes.
    sequence[0]->animation->elapsed = 0.02f;
    sequence[0]->Draw(0.02f);
    EXPECT_EQ(sequence[0]->animation->frame, 0u);
    EXPECT_EQ(sequence[0]->animation->elapsed, 0.02f);
    EXPECT_EQ(maleZombieSet->renderers.size(), 1u);
    EXPECT_EQ(maleZombieSet->textures.size(), 0u);
}

TEST_F(WorldCreatures, AnEmptyCrowdDrawsNothing) {
    population.drawSequence.push_back(nullptr);  // leftovers from an earlier frame are dropped
    DrawCreatures(0.016f, population);
    EXPECT_TRUE(population.drawSequence.empty());
}

// ---- Teardown ------------------------------------------------------------------------------

TEST_F(WorldCreatures, DeletingThroughTheBaseLeavesTheSetUsable) {
    const std::size_t before = GameObject::LiveCount();
    SeedRandom(8);
    std::unique_ptr<GameObject> creature = std::make_unique<MaleZombie>(FullHd, ::Walk, 0);
    EXPECT_EQ(GameObject::LiveCount(), before + 1);
    creature.reset();
    EXPECT_EQ(GameObject::LiveCount(), before);
    ASSERT_NE(maleZombieSet, nullptr);
    EXPECT_EQ(maleZombieSet->size.x, 125.0f);
    SeedRandom(8);
    MaleZombie next(FullHd, ::Walk, 1);  // another creature shares the same set
    EXPECT_EQ(next.animation->set, maleZombieSet.get());
}

TEST_F(WorldCreatures, TeardownLeavesNoCreatureAndNoSet) {
    const std::size_t before = GameObject::LiveCount();
    SeedRandom(424242);
    SpawnFirstCrowd(FullHd, population);
    for (int frame = 0; frame < 600; ++frame) {
        UpdateGameObjects({0.05f, FullHd});
        RunTimedSpawn(0.05f, FullHd, population);
        DrawCreatures(0.05f, population);
    }
    EXPECT_EQ(GameObject::LiveCount(), before + gameObjects.size());
    DestroyCreatures();
    DestroyAnimationSets();
    EXPECT_TRUE(gameObjects.empty());
    EXPECT_EQ(GameObject::LiveCount(), before);
    EXPECT_EQ(maleZombieSet, nullptr);
    EXPECT_EQ(femaleZombieSet, nullptr);
    EXPECT_EQ(soldierSet, nullptr);
}
