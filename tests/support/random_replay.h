// Counting the random source's draws from outside: replay the generator from the same seed.
#pragma once

#include "core/random.h"

#include <cstdint>

// How many draws were made since SeedRandom(seed): replays until the next draw matches.
// Consumes one draw of the process source; -1 when more than 64 were made.
inline int DrawsConsumedSince(std::uint32_t seed) {
    const int next = Random();
    RandomSource replay;
    replay.Seed(seed);
    for (int draws = 0; draws < 64; ++draws)
        if (replay.Next() == next) return draws;
    return -1;
}
