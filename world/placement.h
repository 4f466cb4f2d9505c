// Where creatures come from and when they are gone: the spawn rule on the screen's edges, the
// on-screen test used for culling, and the timer that paces the crowd. No GL, no window.
#pragma once

#include "core/geometry.h"

// A start just outside one edge: position of the sprite box's top-left corner, and the unit
// heading (each component -1, 0 or 1; the inward one always of magnitude 1).
struct EdgeStart {
    Vec2 position;
    Vec2 direction;
};

// Picks an edge, a place along it and a sideways drift towards the edge's middle: exactly three
// draws of the random source, in that order.
EdgeStart SpawnOnEdge(ScreenSize screen, Vec2 size);

// True while any part of the box is inside the screen; a box that only touches an edge from
// outside is off screen.
bool IsOnScreen(Vec2 position, Vec2 size, ScreenSize screen);

// Accumulates frame time and says when the next creature is due. The remainder carries over,
// and at most one creature comes per frame, so a long stall is caught up one frame at a time.
struct SpawnTimer {
    static constexpr float Period = 2.5f;

    float spawnTimer = 0.0f;

    // Returns true when one creature should be spawned this frame.
    bool Tick(float deltaTime);
};
