// The unit quad every sprite is drawn with, and the renderer that draws frame k of an N-frame
// horizontal strip and advances a caller's frame on a timer.
#pragma once

#include "render/geometry.h"

#include <cstdint>
#include <memory>

struct ShaderProgram;
struct Texture;

// Builds a vertex array holding the unit square (x, y, u, v) with (0, 0) at the top-left.
// The buffer stays attached to the array.
std::uint32_t CreateUnitQuadVertexArray();

// Frame advance without GL: adds dt to timer; once timer reaches frameDuration it restarts at
// exactly 0 and the frame steps on by one, wrapping to 0 after frameCount - 1.
std::uint32_t AdvanceFrame(std::uint32_t frame, float& timer, float dt, std::uint32_t frameCount, float frameDuration);

// The model matrix that places the unit square at position with size, turned by rotation
// degrees (clockwise on screen) about its centre.
Mat4 SpriteModelMatrix(Vec2 position, Vec2 size, float rotationDegrees);

class FrameStripRenderer {
public:
    // A none program gives a renderer that draws nothing.
    FrameStripRenderer(const ShaderProgram* program, std::uint32_t frameCount, float frameDuration);
    ~FrameStripRenderer();
    FrameStripRenderer(const FrameStripRenderer&) = delete;
    FrameStripRenderer& operator=(const FrameStripRenderer&) = delete;

    // Draws one frame of texture's strip and returns the frame to use next time; timer is the
    // caller's frame timer. A none texture advances the frame but draws nothing.
    std::uint32_t DrawFrame(const Texture* texture, Vec2 position, float dt, std::uint32_t frame, float& timer,
                            Vec2 size, float rotation, Color color) const;

    std::uint32_t program = 0;
    std::uint32_t vao = 0;
    std::uint32_t frameCount = 1;
    float frameDuration = 0.03f;
};
