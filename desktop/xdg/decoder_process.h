// Decoding images the program cannot vouch for in a short-lived child process. The system's image
// loaders (librsvg, the JPEG, GIF, WebP... loaders) run on whatever a user's file holds: an SVG
// whose filters never finish, a tiny file that unfolds into gigabytes, a loader bug that crashes.
// In a child, each of these costs the child: the show waits at most a deadline, the child's
// memory is capped, and a crash there is just no picture. The program itself stays
// single-threaded, and the child runs no other program: it is a fork of this one.
#pragma once

#include "core/rgba_image.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

struct ChildLimits {
    double seconds = 1.0;               // the child is killed when its answer takes longer
    std::size_t memoryBytes = 256 << 20;  // address space the child may add to what it inherits
    std::int32_t maxWidth = 1024;       // a larger answer is refused as malformed
    std::int32_t maxHeight = 1024;
};

// Runs decode in a child process and returns its image; none when decode found none, the child
// died, overran the deadline or its memory, or answered with an image beyond the limits.
std::optional<RgbaImage> DecodeInChildProcess(const std::function<std::optional<RgbaImage>()>& decode,
                                              const ChildLimits& limits);
