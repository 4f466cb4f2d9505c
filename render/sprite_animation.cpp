// Drawing one sheet of a set through the renderer that serves its state.
#include "render/sprite_animation.h"

#include "render/sprite_renderer.h"

std::uint32_t SpriteAnimation::Draw(float deltaTime, int state, int direction, Vec2 position, std::uint32_t frame,
                                    float& elapsed) {
    // Looked up with find: a state or heading the set lacks must not grow the maps. It draws
    // nothing and keeps the caller's frame.
    const auto renderer = renderers.find(state);
    const auto stateSheets = textures.find(state);
    if (renderer == renderers.end() || renderer->second == nullptr || stateSheets == textures.end()) return frame;
    const auto sheet = stateSheets->second.find(direction);
    if (sheet == stateSheets->second.end()) return frame;
    return renderer->second->DrawFrame(sheet->second, position, deltaTime, frame, elapsed, size, 0.0f, color);
}
