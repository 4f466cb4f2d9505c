// The unit quad and the frame-strip renderer: one draw call shows frame k of an N-frame sheet,
// chosen by a uniform, so sheets are uploaded once and never touched again.
#include "render/sprite_renderer.h"

#include "render/asset_registry.h"
#include "render/shader_program.h"
#include "render/texture.h"

#include <glad/gl.h>

namespace {

// Two triangles; texture coordinates equal positions, so v = 0 (the image's first row) is the top.
constexpr float unitQuad[24] = {
    0.0f, 1.0f, 0.0f, 1.0f,
    1.0f, 0.0f, 1.0f, 0.0f,
    0.0f, 0.0f, 0.0f, 0.0f,

    0.0f, 1.0f, 0.0f, 1.0f,
    1.0f, 1.0f, 1.0f, 1.0f,
    1.0f, 0.0f, 1.0f, 0.0f,
};
static_assert(sizeof(unitQuad) == 96);

}  // namespace

VertexArray CreateUnitQuadVertexArray() {
    GLuint vao = 0, buffer = 0;
    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &buffer);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(unitQuad), unitQuad, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    // The array keeps the buffer alive; dropping our name lets it go with the array.
    glDeleteBuffers(1, &buffer);
    return VertexArray(vao);
}

FrameStripRenderer::FrameStripRenderer(const ShaderProgram* program, std::uint32_t frameCount, float frameDuration)
    : program(program ? program->id : 0), vao(CreateUnitQuadVertexArray()), frameCount(frameCount),
      frameDuration(frameDuration) {
    if (this->program == 0) return;
    modelLocation = glGetUniformLocation(this->program, "model");
    colorLocation = glGetUniformLocation(this->program, "spriteColor");
    frameLocation = glGetUniformLocation(this->program, "frame");
    glUseProgram(this->program);
    glUniform1ui(glGetUniformLocation(this->program, "number_of_frames"), frameCount);
    glUniform1ui(frameLocation, 0);
}

std::uint32_t FrameStripRenderer::DrawFrame(Texture* texture, Vec2 position, float dt, std::uint32_t frame,
                                            float& timer, Vec2 size, float rotation, Color color) const {
    // Without a program or a sheet there is nothing to draw, but the caller's animation keeps time.
    if (program == 0 || texture == nullptr || !EnsureTexturePixels(*texture))
        return AdvanceFrame(frame, timer, dt, frameCount, frameDuration);

    glUseProgram(program);
    const Mat4 model = SpriteModelMatrix(position, size, rotation);
    glUniformMatrix4fv(modelLocation, 1, GL_FALSE, model.data());
    glUniform3f(colorLocation, color.r, color.g, color.b);
    const std::uint32_t next = AdvanceFrame(frame, timer, dt, frameCount, frameDuration);
    glUniform1ui(frameLocation, next);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture->id);
    glBindVertexArray(vao.id);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glBindVertexArray(0);
    return next;
}

namespace {

std::unique_ptr<FrameStripRenderer> MakeRenderer(const AssetRegistry& registry, const char* programName,
                                                 std::uint32_t frameCount) {
    return std::make_unique<FrameStripRenderer>(registry.Program(programName), frameCount, 0.03f);
}

}  // namespace

FrameStripRenderers CreateFrameStripRenderers(const AssetRegistry& registry) {
    FrameStripRenderers renderers;
    renderers.femaleWalk = MakeRenderer(registry, "sprite_36_1", 36);
    renderers.soldierHit = MakeRenderer(registry, "sprite_36_2", 36);
    renderers.maleWalk = MakeRenderer(registry, "sprite_35", 35);
    renderers.femaleRun = MakeRenderer(registry, "sprite_25_1", 25);
    renderers.maleRun = MakeRenderer(registry, "sprite_25_2", 25);
    renderers.soldierWalk = MakeRenderer(registry, "sprite_25_3", 25);
    renderers.desktopIcon = MakeRenderer(registry, "desktop_icon", 1);
    return renderers;
}

void DestroyCreatureRenderers(FrameStripRenderers& renderers) {
    renderers.maleWalk.reset();
    renderers.maleRun.reset();
    renderers.femaleWalk.reset();
    renderers.femaleRun.reset();
    renderers.soldierWalk.reset();
    renderers.soldierHit.reset();
}
