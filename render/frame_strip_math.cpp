// The parts of frame-strip drawing that need no GL: the frame advance and the model matrix.
#include "render/sprite_renderer.h"

std::uint32_t AdvanceFrame(std::uint32_t frame, float& timer, float dt, std::uint32_t frameCount, float frameDuration) {
    timer += dt;
    if (!(timer >= frameDuration)) return frame;
    // Restart the timer rather than carrying the excess: at most one frame per draw.
    timer = 0.0f;
    if (frameCount == 0) return 0;  // no frames to step through: stay on the only drawable one
    const std::uint32_t next = frame + 1;
    return next <= frameCount - 1 ? next : 0;
}

Mat4 SpriteModelMatrix(Vec2 position, Vec2 size, float rotationDegrees) {
    // Scale the unit square, centre it on the origin, turn it, then move its centre into place.
    return Mat4::Translation(position.x + 0.5f * size.x, position.y + 0.5f * size.y, 0.0f) *
           Mat4::RotationZ(rotationDegrees * 0.017453292f) *
           Mat4::Translation(-0.5f * size.x, -0.5f * size.y, 0.0f) * Mat4::Scale(size.x, size.y, 1.0f);
}
