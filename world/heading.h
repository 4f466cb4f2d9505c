// Which of the eight compass sheets a creature shows, from the way it is moving.
#pragma once

#include "core/geometry.h"
#include "core/sprite_keys.h"

// The heading of a velocity in screen pixels (y grows downwards, north is up the screen).
// A velocity of (0, 0), or one that is not a number, has no heading; it faces S, towards the
// viewer, which is how a creature standing still is drawn.
Direction HeadingSector(Vec2 velocity);
