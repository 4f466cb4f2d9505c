// Creatures drawn for real: the sets hand each state its renderer and sheets, and a creature
// shows the current frame of the sheet for its heading at its position.
#include "gl_test_support.h"

#include "render/asset_registry.h"
#include "render/program_setup.h"
#include "render/sprite_renderer.h"
#include "world/animation_sets.h"
#include "world/game_object.h"
#include "world/population.h"

#include <vector>

namespace {

// Thirty-five distinct colours, one per frame; neighbours differ clearly in every channel.
Rgba FrameColour(std::uint32_t frame) {
    return {static_cast<int>(frame * 7), static_cast<int>(255 - frame * 7), frame % 2 == 0 ? 0 : 255, 255};
}
const Rgba grey{128, 128, 128, 255}, black{0, 0, 0, 255};

class CreatureDrawing : public testing::Test {
protected:
    void SetUp() override {
        // The real sheets may not be embedded in this build; their reports are not the point here.
        testing::internal::CaptureStdout();
        LoadScenePrograms(registry, target.Projection());
        renderers = CreateFrameStripRenderers(registry);
        BuildAnimationSets(registry, renderers);
        testing::internal::GetCapturedStdout();
        ASSERT_NE(maleZombieSet, nullptr);
        ASSERT_NE(renderers.maleWalk, nullptr);
    }
    void TearDown() override {
        DestroyCreatures();
        DestroyAnimationSets();
        DestroyCreatureRenderers(renderers);
        registry.ReleaseAll();
    }

    // A frame strip of frameCount frames, 4 texels square each, frame k in colourOf(k).
    template <typename ColourOf>
    Texture* MakeStrip(const std::string& name, std::uint32_t frameCount, ColourOf colourOf) {
        const std::uint32_t width = frameCount * 4, height = 4;
        std::vector<unsigned char> pixels(width * height * 4);
        for (std::uint32_t y = 0; y < height; ++y)
            for (std::uint32_t x = 0; x < width; ++x) {
                const Rgba colour = colourOf(x / 4);
                for (int channel = 0; channel < 4; ++channel)
                    pixels[(y * width + x) * 4 + channel] = static_cast<unsigned char>(colour[channel]);
            }
        auto texture = std::make_unique<Texture>();
        texture->internalFormat = texture->imageFormat = GL_RGBA;
        texture->Upload(width, height, pixels.data());
        return registry.StoreTexture(name, std::move(texture));
    }

    // The male walk sheets: E shows a colour per frame, every other heading plain grey.
    void UseTestSheetsForMaleWalk() {
        Texture* plain = MakeStrip("test_plain", 35, [](std::uint32_t) { return grey; });
        for (int direction = N; direction <= NW; ++direction) maleZombieSet->textures[Walk][direction] = plain;
        maleZombieSet->textures[Walk][E] = MakeStrip("test_east", 35, FrameColour);
    }

    Zombie& AddWalkingMale(Vec2 position, Vec2 velocity, std::uint32_t frame) {
        gameObjects.push_back(std::make_unique<Zombie>(position, velocity, maleZombieSet.get(), Walk));
        gameObjects.back()->animation->frame = frame;
        return static_cast<Zombie&>(*gameObjects.back());
    }

    OffscreenTarget target{400, 320};
    AssetRegistry registry;
    FrameStripRenderers renderers;
};

}  // namespace

TEST_F(CreatureDrawing, EachSetServesItsStatesWithTheirRenderersAndNamedSheets) {
    EXPECT_EQ(maleZombieSet->renderers.at(Walk), renderers.maleWalk.get());
    EXPECT_EQ(maleZombieSet->renderers.at(::Run), renderers.maleRun.get());
    EXPECT_EQ(femaleZombieSet->renderers.at(Walk), renderers.femaleWalk.get());
    EXPECT_EQ(femaleZombieSet->renderers.at(::Run), renderers.femaleRun.get());
    EXPECT_EQ(soldierSet->renderers.at(Walk), renderers.soldierWalk.get());
    EXPECT_EQ(soldierSet->renderers.at(Hit), renderers.soldierHit.get());
    EXPECT_EQ(maleZombieSet->size.x, 125.0f);
    EXPECT_EQ(femaleZombieSet->size.y, 100.0f);
    EXPECT_EQ(soldierSet->size.x, 120.0f);

    // Every state holds all eight headings, each the registry's sheet of that name.
    EXPECT_EQ(registry.textures.count("male_zombie_walk_E"), 1u);
    EXPECT_EQ(registry.textures.count("swat_soldier_hit_NW"), 1u);
    EXPECT_EQ(registry.textures.count("female_zombie_run_SW"), 1u);
    EXPECT_EQ(maleZombieSet->textures.at(Walk).at(E), registry.FindTexture("male_zombie_walk_E"));
    EXPECT_EQ(soldierSet->textures.at(Hit).at(NW), registry.FindTexture("swat_soldier_hit_NW"));
    EXPECT_EQ(femaleZombieSet->textures.at(::Run).at(SW), registry.FindTexture("female_zombie_run_SW"));
    for (const SpriteAnimation* set : {maleZombieSet.get(), femaleZombieSet.get(), soldierSet.get()}) {
        EXPECT_EQ(set->textures.size(), 2u);
        for (const auto& [state, sheets] : set->textures) EXPECT_EQ(sheets.size(), 8u) << "state " << state;
    }
    EXPECT_EQ(registry.textures.size(), 48u);
    // The zombies' sheets hold their pixels from the start; the soldier's, never drawn, wait.
    ASSERT_NE(maleZombieSet->textures.at(Walk).at(E), nullptr);
    ASSERT_NE(soldierSet->textures.at(Hit).at(NW), nullptr);
    EXPECT_GT(maleZombieSet->textures.at(Walk).at(E)->width, 0u);
    for (const auto& [state, sheets] : soldierSet->textures)
        for (const auto& [direction, sheet] : sheets) EXPECT_EQ(sheet->width, 0u) << state << " " << direction;
}

TEST_F(CreatureDrawing, ACreatureHeadingEastShowsItsEastSheetsCurrentFrameAtItsPosition) {
    UseTestSheetsForMaleWalk();
    Zombie& walker = AddWalkingMale({60.0f, 80.0f}, {50.0f, 0.0f}, 5);

    walker.Draw(0.0f);
    EXPECT_EQ(walker.animation->frame, 5u);
    EXPECT_TRUE(Near(target.Pixel(60 + 62, 80 + 62), FrameColour(5)));
    // Near the top and bottom rows; a quarter in from either side, since linear filtering
    // blends neighbouring frames right at the band's sides.
    EXPECT_TRUE(Near(target.Pixel(60 + 31, 81), FrameColour(5)));
    EXPECT_TRUE(Near(target.Pixel(60 + 93, 203), FrameColour(5)));
    EXPECT_TRUE(Near(target.Pixel(58, 140), black));            // just outside the box
    EXPECT_TRUE(Near(target.Pixel(187, 140), black));
    EXPECT_TRUE(Near(target.Pixel(120, 207), black));

    // 0.03 s later the next frame shows, and the timer starts again.
    walker.Draw(0.03f);
    EXPECT_EQ(walker.animation->frame, 6u);
    EXPECT_EQ(walker.animation->elapsed, 0.0f);
    EXPECT_TRUE(Near(target.Pixel(122, 142), FrameColour(6)));

    // The last of the 35 frames wraps to the first.
    walker.animation->frame = 34;
    walker.animation->elapsed = 0.02f;
    walker.Draw(0.02f);
    EXPECT_EQ(walker.animation->frame, 0u);
    EXPECT_TRUE(Near(target.Pixel(122, 142), FrameColour(0)));
}

TEST_F(CreatureDrawing, OtherHeadingsUseTheirOwnSheets) {
    UseTestSheetsForMaleWalk();
    for (Vec2 velocity : {Vec2{-50, 0}, Vec2{0, -50}, Vec2{50, 50}, Vec2{-50, -50}}) {
        target.Clear(0.0f, 0.0f, 0.0f, 1.0f);
        DestroyCreatures();
        AddWalkingMale({60.0f, 80.0f}, velocity, 5).Draw(0.0f);
        EXPECT_TRUE(Near(target.Pixel(122, 142), grey)) << velocity.x << ", " << velocity.y;
    }
}

TEST_F(CreatureDrawing, TheDrawPassShowsEveryCreatureAtItsOwnFrame) {
    UseTestSheetsForMaleWalk();
    AddWalkingMale({10.0f, 10.0f}, {50.0f, 0.0f}, 3);
    AddWalkingMale({200.0f, 150.0f}, {140.0f, 0.0f}, 9);
    AddWalkingMale({200.0f, 10.0f}, {50.0f, 0.0f}, 3).visible = false;  // never drawn
    Population population;
    DrawCreatures(0.0f, population);
    EXPECT_TRUE(Near(target.Pixel(72, 72), FrameColour(3)));
    EXPECT_TRUE(Near(target.Pixel(262, 212), FrameColour(9)));
    EXPECT_TRUE(Near(target.Pixel(262, 72), black));
}
