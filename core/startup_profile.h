// Where start-up time goes: decoding images, uploading textures, and everything else up to the
// first presented frame; and how much the textures hold. Read by the start-up and memory
// benchmarks (GRAVEFALL_BENCH_STARTUP=1).
#pragma once

#include <chrono>
#include <cstdint>

struct StartupProfile {
    double decodeSeconds = 0.0;
    double uploadSeconds = 0.0;
    // What the textures hold, as the GL driver keeps them: four bytes a texel.
    std::uint64_t textureBytes = 0;
};

StartupProfile& TheStartupProfile();

// Seconds since the process started running its code (static initialisation).
double SecondsSinceProcessStart();

// Adds the lifetime of the scope to one of the profile's totals.
class ScopedStopwatch {
public:
    explicit ScopedStopwatch(double& total) : total(total), start(std::chrono::steady_clock::now()) {}
    ~ScopedStopwatch() {
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    ScopedStopwatch(const ScopedStopwatch&) = delete;
    ScopedStopwatch& operator=(const ScopedStopwatch&) = delete;

private:
    double& total;
    std::chrono::steady_clock::time_point start;
};
