// The three creature sets (male zombie, female zombie, soldier): built once at start-up from
// the frame-strip renderers and the 48 embedded sheets, destroyed after the last creature.
#pragma once

#include "render/sprite_animation.h"

#include <memory>

struct AssetRegistry;
struct FrameStripRenderers;

// Process-wide, like the creature list that points into them. Empty before start-up and after
// teardown. The soldier set is built and kept but never given to a creature: its sixteen sheets
// are registered under their names, their pixels decoded only if one is ever drawn.
extern std::unique_ptr<SpriteAnimation> maleZombieSet;
extern std::unique_ptr<SpriteAnimation> femaleZombieSet;
extern std::unique_ptr<SpriteAnimation> soldierSet;

// Builds the male, female and soldier sets in that order; each loads (the soldier's: registers)
// its sheets into the registry, state by state, directions N to NW. A renderer that is missing leaves its state
// without a renderer, so that state draws nothing.
void BuildAnimationSets(AssetRegistry& registry, const FrameStripRenderers& renderers);

// Destroys the sets in the order male, female, soldier. The textures and renderers stay.
void DestroyAnimationSets();
