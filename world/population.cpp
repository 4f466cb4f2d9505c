// Spawning, the draw order and the teardown of the crowd.
#include "world/population.h"

#include "core/random.h"
#include "world/game_object.h"
#include "render/sprite_animation.h"

#include <algorithm>
#include <functional>
#include <memory>

void SpawnZombie(ScreenSize screen, Population& population) {
    // The state is drawn before the gender; both before the constructor's own draws.
    const int state = Random() % 2;
    const bool male = Random() % 2 == 0;
    if (male)
        gameObjects.push_back(std::make_unique<MaleZombie>(screen, state, population.spawnIndex));
    else
        gameObjects.push_back(std::make_unique<FemaleZombie>(screen, state, population.spawnIndex));
    ++population.spawnIndex;
}

void SpawnFirstCrowd(ScreenSize screen, Population& population) {
    for (int count = 0; count < Population::FirstCrowd; ++count) SpawnZombie(screen, population);
}

void RunTimedSpawn(float deltaTime, ScreenSize screen, Population& population) {
    if (population.timer.Tick(deltaTime)) SpawnZombie(screen, population);
}

const FrameStripRenderer* RendererOf(const GameObject& creature) {
    if (creature.animation == nullptr || creature.animation->set == nullptr) return nullptr;
    const auto& renderers = creature.animation->set->renderers;
    const auto found = renderers.find(creature.state);
    return found != renderers.end() ? found->second : nullptr;
}

void BuildDrawSequence(Population& population) {
    auto& keyed = population.sortScratch;
    keyed.clear();
    keyed.reserve(gameObjects.size());
    for (const auto& creature : gameObjects)
        if (creature != nullptr) keyed.emplace_back(RendererOf(*creature), creature.get());
    // Pointer order through std::less: a total order even across unrelated objects.
    std::sort(keyed.begin(), keyed.end(), [](const auto& left, const auto& right) {
        return std::less<const FrameStripRenderer*>{}(left.first, right.first);
    });
    population.drawSequence.clear();
    population.drawSequence.reserve(keyed.size());
    for (const auto& entry : keyed) population.drawSequence.push_back(entry.second);
    keyed.clear();
}

void DrawCreatures(float deltaTime, Population& population) {
    BuildDrawSequence(population);
    for (GameObject* creature : population.drawSequence) creature->Draw(deltaTime);
    // The pointers are not kept past the frame: the next update may delete their creatures.
    population.drawSequence.clear();
}

void DestroyCreatures() {
    for (auto& creature : gameObjects) creature.reset();  // in list order
    gameObjects.clear();
}
