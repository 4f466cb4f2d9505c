// Work on what the program cannot vouch for, done in a short-lived child process. Reading the
// desktop runs the system's libraries over the user's files (GLib's settings store and MIME
// database, fontconfig, the image loaders), and those open what they please: a FIFO where a file
// should be blocks them forever, a loader bug crashes them, a tiny file unfolds into gigabytes.
// In a child, each of these costs the child: the show waits at most a deadline, the child's memory
// is capped, and a crash there is just no answer. The program itself stays single-threaded, and
// the child runs no other program: it is a fork of this one.
#pragma once

#include "core/rgba_image.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

struct ChildLimits {
    double seconds = 1.0;                   // the child is killed when it takes longer
    std::size_t memoryBytes = 256u << 20;   // address space it may add to what it inherits
    std::size_t maxAnswerBytes = 64u << 20; // no more of its answer is taken
};

struct ChildAnswer {
    std::string bytes;      // what the child wrote, up to the limit
    bool complete = false;  // it finished its work and ended in time; else bytes may be cut short
};

// Runs work in a child process; work writes its answer to the descriptor it is given (with
// WriteAnswer) and returns whether it succeeded.
ChildAnswer RunInChildProcess(const std::function<bool(int answer)>& work, const ChildLimits& limits);

// Writes all of size bytes to the descriptor; false when it cannot.
bool WriteAnswer(int descriptor, const void* data, std::size_t size);

// An image decoded in a child process; none when decode found none, the child died, overran the
// deadline or its memory, or answered with an image larger than maxWidth x maxHeight.
std::optional<RgbaImage> DecodeInChildProcess(const std::function<std::optional<RgbaImage>()>& decode,
                                              const ChildLimits& limits, std::int32_t maxWidth,
                                              std::int32_t maxHeight);
