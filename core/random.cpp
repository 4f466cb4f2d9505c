// The process-wide random source.
#include "core/random.h"

namespace {
RandomSource processRandom;
}

void SeedRandom(std::uint32_t seed) { processRandom.Seed(seed); }
int Random() { return processRandom.Next(); }
