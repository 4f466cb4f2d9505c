// A sprite in every state and heading: the on-screen box size, a tint, one frame-strip sheet per
// (state, direction) and one renderer per state. Many creatures share one set; each desktop icon
// has a one-state set of its own.
#pragma once

#include "core/geometry.h"
#include "core/sprite_keys.h"

#include <cstdint>
#include <map>

struct Texture;
class FrameStripRenderer;

// Destroyed only through its own type, so it needs no virtual destructor (hence final).
class SpriteAnimation final {
public:
    SpriteAnimation(Vec2 size, Color color) : size(size), color(color) {}

    // Draws the sheet of (state, direction) at position and returns the frame now shown;
    // elapsed is the caller's frame timer.
    virtual std::uint32_t Draw(float deltaTime, int state, int direction, Vec2 position, std::uint32_t frame,
                               float& elapsed);

    Vec2 size;
    Color color;
    std::map<int, std::map<int, Texture*>> textures;  // not owned: the asset registry's
    std::map<int, FrameStripRenderer*> renderers;     // not owned
};
