// How long and how much the desktop's reading may take, in one place. The desktop is the user's
// files read through libraries that open what they please; every bound here keeps one bad or
// huge thing from holding up, crashing or bloating the show, at a size no real desktop reaches.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace reading_limits {

// ---- Time ----

// The desktop is read within this time; what is not read by then does without (the folder
// listing stops, icons not decoded yet show the generic image). A screen saver must start fast.
inline constexpr std::chrono::milliseconds DesktopReadingTime{1500};
// The reading child gets a little longer to hand over what it read, and is stopped after that,
// whatever it is doing.
inline constexpr double ReadingChildSeconds = 2.0;
// One icon gets at most this much of the reading time: a slow SVG costs its own icon only.
inline constexpr double MaxIconDecodeSeconds = 0.5;

// ---- The reading child ----

// What the reading child may allocate: far more than any desktop needs, far less than the machine.
inline constexpr std::size_t ReadingChildMemory = 1u << 30;
// All the distinct icon images of a desktop together: 64 million pixels (256 MiB of RGBA) is
// thousands of icons at the largest sizes; past it the generic image stands in.
inline constexpr std::int64_t MaxDecodedIconPixels = 64ll << 20;
// What the child may hand back: every icon's pixels and a generous megabyte for the rest.
inline constexpr std::size_t MaxSnapshotBytes = (MaxDecodedIconPixels + (1 << 20)) * 4;
// What the show accepts of that hand-over: items, and the length of one text in it.
inline constexpr std::uint32_t MaxSnapshotItems = 20000;
inline constexpr std::uint32_t MaxSnapshotText = 1 << 16;

// ---- The desktop folder ----

// Some twenty times what a desktop has room for: the rest of a larger folder is not listed (they
// would all be stacked in the last place anyway).
inline constexpr std::size_t MaxDesktopItems = 4096;
// Desktop entries larger than this are not desktop entries anyone wrote by hand.
inline constexpr std::size_t MaxDesktopEntryBytes = 1 << 20;
// A listing that keeps failing is given up rather than walked forever.
inline constexpr int MaxFailedEntries = 100000;

// ---- Image files ----

// An icon file larger than this is not an icon; nor is a bitmap of more than 1024 x 1024 (icons
// are drawn at most 256 px).
inline constexpr std::size_t MaxIconFileBytes = 4 << 20;
inline constexpr long long MaxIconPixels = 1024LL * 1024LL;
// A picture of more pixels than this would take gigabytes on the way to a screen-sized texture.
inline constexpr long long MaxPicturePixels = 200LL * 1000 * 1000;
// What a decoding child may allocate beyond what it inherits.
inline constexpr std::size_t IconChildMemory = 256u << 20;
inline constexpr std::size_t PictureChildMemory = 768u << 20;

}  // namespace reading_limits

// The moment by which the desktop must have been read (the reading child sets it when it starts).
// None is set until then.
void SetDesktopReadingDeadline(std::chrono::steady_clock::time_point deadline);
// Seconds left until then; a large number when no deadline is set, 0 or less once it passed.
double DesktopReadingSecondsLeft();
