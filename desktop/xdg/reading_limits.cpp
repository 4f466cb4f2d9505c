// The reading's deadline, set once in the reading child.
#include "desktop/xdg/reading_limits.h"

namespace {

std::chrono::steady_clock::time_point readingDeadline = std::chrono::steady_clock::time_point::max();

}  // namespace

void SetDesktopReadingDeadline(std::chrono::steady_clock::time_point deadline) { readingDeadline = deadline; }

double DesktopReadingSecondsLeft() {
    if (readingDeadline == std::chrono::steady_clock::time_point::max()) return 1e9;
    return std::chrono::duration<double>(readingDeadline - std::chrono::steady_clock::now()).count();
}
