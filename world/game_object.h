// The creatures: the abstract GameObject with everything needed to move and draw one, the
// straight-walking Zombie and its male and female kinds, and the list that owns them all.
#pragma once

#include "core/geometry.h"
#include "world/placement.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>

class SpriteAnimation;

// A creature's animation cursor. The set is shared and outlives every creature using it.
struct AnimationState {
    std::uint32_t frame = 0;
    float elapsed = 0.0f;
    SpriteAnimation* set = nullptr;
};

class GameObject {
public:
    // Abstract through its destructor; the body still runs for every derived creature.
    virtual ~GameObject() = 0;
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;

    // Draws the sheet of the current state facing the way the creature moves, and advances
    // its animation.
    void Draw(float deltaTime);

    // The sprite box of the creature's set; (0, 0) without a set.
    Vec2 Size() const;

    // How many creatures exist right now (teardown must bring this back to 0).
    static std::size_t LiveCount() { return liveCount; }

    std::unique_ptr<AnimationState> animation;
    Vec2 position;   // top-left corner of the sprite box, screen pixels
    int state = 0;   // key into the set's maps: Walk or Run
    Vec2 velocity;   // pixels per second, fixed for life
    std::string name;
    bool hit = false;     // a hit creature is neither moved nor culled
    bool visible = true;  // an invisible creature is not drawn

protected:
    GameObject(Vec2 position, SpriteAnimation* set, int state);

private:
    static inline std::size_t liveCount = 0;
};

// Walks in a straight line at a constant velocity.
class Zombie : public GameObject {
public:
    Zombie(Vec2 position, Vec2 velocity, SpriteAnimation* set, int state);
    ~Zombie() override;

protected:
    // Places the creature just outside a random edge, heading inwards at the walk speed (state
    // Walk) or the run speed (any other state). Three random draws.
    void StartOnEdge(ScreenSize screen, Vec2 fallbackBox, float walkSpeed, float runSpeed);
};

// Born just outside a random edge of the screen, heading inwards. Draws three random numbers.
// state is Walk (0) for a walker, anything else for a runner; spawnIndex only names it.
class MaleZombie final : public Zombie {
public:
    static constexpr float WalkSpeed = 50.0f;
    static constexpr float RunSpeed = 140.0f;
    static constexpr Vec2 SpriteBox{125.0f, 125.0f};
    static constexpr const char* NamePrefix = "Zombie_Male_";

    MaleZombie(ScreenSize screen, int state, int spawnIndex);
    ~MaleZombie() override;
};

class FemaleZombie final : public Zombie {
public:
    static constexpr float WalkSpeed = 30.0f;
    static constexpr float RunSpeed = 100.0f;
    static constexpr Vec2 SpriteBox{100.0f, 100.0f};
    static constexpr const char* NamePrefix = "Zombie_Female_";

    FemaleZombie(ScreenSize screen, int state, int spawnIndex);
    ~FemaleZombie() override;
};

// Every creature alive, in spawn order. The list owns them: removing an entry deletes the
// creature. Only the spawn appends, and only the update and the teardown remove.
extern std::list<std::unique_ptr<GameObject>> gameObjects;

// What the frame loop hands the creature update each frame: the live frame time and the
// screen size fixed for the run.
struct FrameContext {
    const float& deltaTime;
    const ScreenSize& screen;
};

// Moves every creature that is not hit by velocity x deltaTime and deletes, in the same single
// pass, those whose box has left the screen (touching an edge from outside counts as left).
void UpdateGameObjects(const FrameContext& frame);
