// The spawn rule, the on-screen test and the spawn timer.
#include "world/placement.h"

#include "core/random.h"

#include <cmath>
#include <limits>

namespace {

// r() mod extent, for an extent that may be zero or negative on a broken video mode: the draw
// is still made (so the sequence of draws does not change) and the result is 0.
int DrawAlong(int extent) {
    const int value = Random();
    return extent > 0 ? value % extent : 0;
}

// Drift towards the middle of the edge: away from the far half, or straight on.
float DrawDrift(int along, int extent) {
    const int half = extent / 2;
    const int coin = Random() % 2;
    return static_cast<float>(along > half ? -coin : coin);
}

// -size truncated to an integer; a size that is not a finite number counts as 0.
int OutsideOffset(float size) {
    if (!std::isfinite(size)) return 0;
    constexpr float limit = static_cast<float>(std::numeric_limits<int>::max() / 2);
    if (size > limit) return -static_cast<int>(limit);
    if (size < -limit) return static_cast<int>(limit);
    return static_cast<int>(-size);
}

}  // namespace

EdgeStart SpawnOnEdge(ScreenSize screen, Vec2 size) {
    const int width = screen.width;
    const int height = screen.height;
    EdgeStart start;
    switch (Random() % 4) {
        case 0: {  // left edge, heading east
            const int y = DrawAlong(height);
            start.position = {static_cast<float>(OutsideOffset(size.x)), static_cast<float>(y)};
            start.direction = {1.0f, DrawDrift(y, height)};
            break;
        }
        case 1: {  // right edge, heading west
            const int y = DrawAlong(height);
            start.position = {static_cast<float>(width), static_cast<float>(y)};
            start.direction = {-1.0f, DrawDrift(y, height)};
            break;
        }
        case 2: {  // top edge, heading south
            const int x = DrawAlong(width);
            start.position = {static_cast<float>(x), static_cast<float>(OutsideOffset(size.y))};
            start.direction = {DrawDrift(x, width), 1.0f};
            break;
        }
        default: {  // bottom edge, heading north
            const int x = DrawAlong(width);
            start.position = {static_cast<float>(x), static_cast<float>(height)};
            start.direction = {DrawDrift(x, width), -1.0f};
            break;
        }
    }
    return start;
}

bool IsOnScreen(Vec2 position, Vec2 size, ScreenSize screen) {
    return position.x + size.x > 0.0f && position.x < static_cast<float>(screen.width) &&
           position.y + size.y > 0.0f && position.y < static_cast<float>(screen.height);
}

bool SpawnTimer::Tick(float deltaTime) {
    // A frame time that is not a number would poison the timer for good; such a frame adds nothing.
    if (std::isfinite(deltaTime)) spawnTimer += deltaTime;
    if (spawnTimer >= Period) {
        spawnTimer -= Period;
        return true;
    }
    return false;
}
