// The one random source of the program: a linear congruential generator giving 0..32767.
// Every random choice (spawn edges, states, genders) draws from it, so a seed replays a run.
#pragma once

#include <cstdint>

class RandomSource {
public:
    static constexpr int Max = 32767;

    void Seed(std::uint32_t seed) { state = seed; }
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }

private:
    std::uint32_t state = 1;
};

// The process-wide source, seeded once at start-up with the calendar time.
void SeedRandom(std::uint32_t seed);
int Random();
