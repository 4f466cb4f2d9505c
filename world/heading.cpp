// The eight-way heading: the clockwise bearing from north, cut into 45-degree sectors centred
// on the compass points.
#include "world/heading.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float SectorNorthEast = 0.3926991f;  // pi/8
constexpr float SectorEast = 1.1780972f;       // 3pi/8
constexpr float SectorSouthEast = 1.9634955f;  // 5pi/8
constexpr float SectorSouth = 2.7488937f;      // 7pi/8
constexpr float HalfTurn = 3.1415927f;         // pi

}  // namespace

Direction HeadingSector(Vec2 velocity) {
    float length = std::sqrt(velocity.x * velocity.x + velocity.y * velocity.y);
    if (std::isinf(length) && std::isfinite(velocity.x) && std::isfinite(velocity.y)) {
        // Squares beyond float range: the heading only depends on the ratio, so scale down.
        const float largest = std::max(std::fabs(velocity.x), std::fabs(velocity.y));
        velocity = {velocity.x / largest, velocity.y / largest};
        length = std::sqrt(velocity.x * velocity.x + velocity.y * velocity.y);
    }
    if (!(length > 0.0f) || !std::isfinite(length)) return S;

    // North-up unit vector.
    const float inverse = 1.0f / length;
    const float dx = velocity.x * inverse;
    const float dy = -velocity.y * inverse;

    const float angle = std::acos(std::clamp(dy, -1.0f, 1.0f));
    // Turning the direction anticlockwise by the angle lands on north exactly when the
    // direction lies clockwise of north (east side): then the bearing is positive.
    const float turnedX = dx * std::cos(angle) - dy * std::sin(angle);
    const float turnedY = dx * std::sin(angle) + dy * std::cos(angle);
    const bool eastSide = std::fabs(turnedX - 0.0f) < 0.0001f && std::fabs(turnedY - 1.0f) < 0.0001f;
    const float bearing = eastSide ? angle : -angle;

    if (-SectorNorthEast <= bearing && bearing < SectorNorthEast) return N;
    if (SectorNorthEast <= bearing && bearing < SectorEast) return NE;
    if (SectorEast <= bearing && bearing < SectorSouthEast) return E;
    if (SectorSouthEast <= bearing && bearing < SectorSouth) return SE;
    if ((-HalfTurn <= bearing && bearing <= -SectorSouth) || (SectorSouth <= bearing && bearing <= HalfTurn)) return S;
    if (-SectorSouth <= bearing && bearing < -SectorSouthEast) return SW;
    if (-SectorSouthEast <= bearing && bearing < -SectorEast) return W;
    if (-SectorEast <= bearing && bearing < -SectorNorthEast) return NW;
    return S;
}
