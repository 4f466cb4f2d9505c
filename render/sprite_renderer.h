// The unit quad every sprite is drawn with, and the renderer that draws frame k of an N-frame
// horizontal strip and advances a caller's frame on a timer.
#pragma once

#include "core/geometry.h"
#include "render/gl_object.h"

#include <cstdint>
#include <memory>

struct ShaderProgram;
struct Texture;

// Builds a vertex array holding the unit square (x, y, u, v) with (0, 0) at the top-left.
// The buffer stays attached to the array and goes with it.
VertexArray CreateUnitQuadVertexArray();

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

    // Draws one frame of texture's strip and returns the frame to use next time; timer is the
    // caller's frame timer. A texture whose pixels wait gets them now; a none or undecodable
    // texture advances the frame but draws nothing.
    std::uint32_t DrawFrame(Texture* texture, Vec2 position, float dt, std::uint32_t frame, float& timer,
                            Vec2 size, float rotation, Color color) const;

    std::uint32_t program = 0;
    VertexArray vao;  // deleted with the renderer: destroy it while the context exists
    std::uint32_t frameCount = 1;
    float frameDuration = 0.03f;
    // Looked up once: "model", "spriteColor" and "frame" (-1, which GL ignores, when absent).
    int modelLocation = -1;
    int colorLocation = -1;
    int frameLocation = -1;
};

struct AssetRegistry;

// The seven renderers, one per frame-strip program, each serving one frame count.
struct FrameStripRenderers {
    std::unique_ptr<FrameStripRenderer> femaleWalk;   // "sprite_36_1", 36 frames
    std::unique_ptr<FrameStripRenderer> soldierHit;   // "sprite_36_2", 36 frames
    std::unique_ptr<FrameStripRenderer> maleWalk;     // "sprite_35", 35 frames
    std::unique_ptr<FrameStripRenderer> femaleRun;    // "sprite_25_1", 25 frames
    std::unique_ptr<FrameStripRenderer> maleRun;      // "sprite_25_2", 25 frames
    std::unique_ptr<FrameStripRenderer> soldierWalk;  // "sprite_25_3", 25 frames
    std::unique_ptr<FrameStripRenderer> desktopIcon;  // "desktop_icon", 1 frame
};

// Creates the seven in the order above, from the registry's programs.
FrameStripRenderers CreateFrameStripRenderers(const AssetRegistry& registry);
// Destroys the six creature renderers in teardown order (male walk, male run, female walk,
// female run, soldier walk, soldier hit); the desktop icon renderer is left to its owner.
void DestroyCreatureRenderers(FrameStripRenderers& renderers);
