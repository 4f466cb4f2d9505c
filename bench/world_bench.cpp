// One frame of the world's work without drawing: move and cull, the timed spawn, and the
// per-frame draw order (copy, then sort by renderer), at growing crowd sizes. A second case
// leaves the sort out, to show that everything else grows linearly.
#include "core/random.h"
#include "render/sprite_renderer.h"
#include "world/animation_sets.h"
#include "world/game_object.h"
#include "world/population.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr ScreenSize FullHd{1920, 1080};
constexpr float SixtyHertz = 1.0f / 60.0f;

// Four renderer identities for the sort key; never drawn through.
alignas(FrameStripRenderer) unsigned char rendererStandIns[4][sizeof(FrameStripRenderer)];

FrameStripRenderer* StandIn(int index) { return reinterpret_cast<FrameStripRenderer*>(rendererStandIns[index]); }

// A crowd of the given size, spread over the screen as a long run would leave it.
void FillCrowd(int size, Population& population) {
    while (static_cast<int>(gameObjects.size()) < size) {
        SpawnZombie(FullHd, population);
        GameObject& creature = *gameObjects.back();
        creature.position = {static_cast<float>(Random() % 1800), static_cast<float>(Random() % 960)};
    }
}

class WorldFrame {
public:
    explicit WorldFrame(int size) : size(size) {
        maleZombieSet = std::make_unique<SpriteAnimation>(Vec2{125.0f, 125.0f}, Color{});
        femaleZombieSet = std::make_unique<SpriteAnimation>(Vec2{100.0f, 100.0f}, Color{});
        maleZombieSet->renderers = {{Walk, StandIn(0)}, {Run, StandIn(1)}};
        femaleZombieSet->renderers = {{Walk, StandIn(2)}, {Run, StandIn(3)}};
        SeedRandom(2024);
        FillCrowd(size, population);
    }
    ~WorldFrame() {
        DestroyCreatures();
        DestroyAnimationSets();
    }

    // Creatures walk off as the frames go by; top the crowd up outside the timed region.
    void KeepCrowd(benchmark::State& state) {
        if (static_cast<int>(gameObjects.size()) * 10 >= size * 9) return;
        state.PauseTiming();
        FillCrowd(size, population);
        state.ResumeTiming();
    }

    int size;
    Population population;
};

void BM_WorldFrame(benchmark::State& state) {
    WorldFrame world(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        UpdateGameObjects({SixtyHertz, FullHd});
        RunTimedSpawn(SixtyHertz, FullHd, world.population);
        BuildDrawSequence(world.population);
        benchmark::DoNotOptimize(world.population.drawSequence.data());
        world.KeepCrowd(state);
    }
    state.SetComplexityN(state.range(0));
    state.counters["creatures"] = static_cast<double>(gameObjects.size());
}
BENCHMARK(BM_WorldFrame)->Arg(20)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity();

void BM_WorldFrameWithoutSort(benchmark::State& state) {
    WorldFrame world(static_cast<int>(state.range(0)));
    std::vector<GameObject*>& sequence = world.population.drawSequence;
    for (auto _ : state) {
        UpdateGameObjects({SixtyHertz, FullHd});
        RunTimedSpawn(SixtyHertz, FullHd, world.population);
        sequence.clear();
        for (const auto& creature : gameObjects) sequence.push_back(creature.get());
        benchmark::DoNotOptimize(sequence.data());
        world.KeepCrowd(state);
    }
    state.SetComplexityN(state.range(0));
    state.counters["creatures"] = static_cast<double>(gameObjects.size());
}
BENCHMARK(BM_WorldFrameWithoutSort)->Arg(20)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity(benchmark::oN);

}  // namespace
