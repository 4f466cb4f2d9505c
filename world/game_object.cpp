// Construction of the creatures with their random start, the owning list, the per-frame
// movement with culling, and drawing one creature.
#include "world/game_object.h"

#include "world/animation_sets.h"
#include "world/heading.h"
#include "render/sprite_animation.h"

#include <string>

std::list<std::unique_ptr<GameObject>> gameObjects;

// ---- GameObject ----------------------------------------------------------------------------

GameObject::GameObject(Vec2 position, SpriteAnimation* set, int state)
    : animation(std::make_unique<AnimationState>(AnimationState{0, 0.0f, set})), position(position), state(state) {
    ++liveCount;
}

GameObject::~GameObject() { --liveCount; }

Vec2 GameObject::Size() const {
    if (animation == nullptr || animation->set == nullptr) return {};
    return animation->set->size;
}

void GameObject::Draw(float deltaTime) {
    if (!visible || animation == nullptr || animation->set == nullptr) return;
    const Direction direction = HeadingSector(velocity);
    animation->frame =
        animation->set->Draw(deltaTime, state, direction, position, animation->frame, animation->elapsed);
}

// ---- Zombies -------------------------------------------------------------------------------

Zombie::Zombie(Vec2 position, Vec2 velocity, SpriteAnimation* set, int state) : GameObject(position, set, state) {
    this->velocity = velocity;
}

Zombie::~Zombie() = default;

void Zombie::StartOnEdge(ScreenSize screen, Vec2 fallbackBox, float walkSpeed, float runSpeed) {
    // The set's box decides how far outside the edge the creature starts; without a set
    // (none built yet) the kind's own box stands in.
    const SpriteAnimation* set = animation->set;
    const EdgeStart start = SpawnOnEdge(screen, set != nullptr ? set->size : fallbackBox);
    // Diagonals are deliberately not normalised: they cover ground sqrt(2) times faster.
    const float speed = state == Walk ? walkSpeed : runSpeed;
    position = start.position;
    velocity = {start.direction.x * speed, start.direction.y * speed};
}

MaleZombie::MaleZombie(ScreenSize screen, int state, int spawnIndex) : Zombie({}, {}, maleZombieSet.get(), state) {
    StartOnEdge(screen, SpriteBox, WalkSpeed, RunSpeed);
    name = NamePrefix + std::to_string(spawnIndex);
}

MaleZombie::~MaleZombie() = default;

FemaleZombie::FemaleZombie(ScreenSize screen, int state, int spawnIndex)
    : Zombie({}, {}, femaleZombieSet.get(), state) {
    StartOnEdge(screen, SpriteBox, WalkSpeed, RunSpeed);
    name = NamePrefix + std::to_string(spawnIndex);
}

FemaleZombie::~FemaleZombie() = default;

// ---- Movement and culling ------------------------------------------------------------------

void UpdateGameObjects(const FrameContext& frame) {
    const float deltaTime = frame.deltaTime;
    for (auto entry = gameObjects.begin(); entry != gameObjects.end();) {
        GameObject* creature = entry->get();
        if (creature == nullptr) {  // nothing to move; an empty slot is simply dropped
            entry = gameObjects.erase(entry);
            continue;
        }
        if (!creature->hit) {
            creature->position.x += creature->velocity.x * deltaTime;
            creature->position.y += creature->velocity.y * deltaTime;
            if (!IsOnScreen(creature->position, creature->Size(), frame.screen)) {
                entry = gameObjects.erase(entry);  // deletes the creature
                continue;
            }
        }
        ++entry;
    }
}
