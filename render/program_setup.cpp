// Start-up of the ten shader programs: which sources each is built from, in which order, and
// the uniforms each receives before the first frame.
#include "render/program_setup.h"

#include "core/resource_ids.h"
#include "render/asset_registry.h"

#include <glad/gl.h>

namespace {

// The frame-strip programs share the frame-strip sources; each serves one renderer and one frame count.
constexpr const char* frameStripPrograms[] = {"sprite_36_1", "sprite_36_2", "sprite_35",   "sprite_25_1",
                                              "sprite_25_2", "sprite_25_3", "desktop_icon"};

// The order the sampler and projection are handed out in.
constexpr const char* samplingPrograms[] = {"sprite_36_1", "sprite_36_2", "sprite_35", "sprite_25_1",
                                            "sprite_25_2", "sprite_25_3", "particle",  "desktop_icon"};

}  // namespace

void SetSamplerAndProjection(const ShaderProgram* program, const char* samplerName, const Mat4& projection) {
    if (program == nullptr) return;
    glUseProgram(program->id);
    glUniform1i(glGetUniformLocation(program->id, samplerName), 0);
    glUniformMatrix4fv(glGetUniformLocation(program->id, "projection"), 1, GL_FALSE, projection.data());
}

ShaderProgram* LoadTextProgram(AssetRegistry& registry, const Mat4& projection) {
    ShaderProgram* text = registry.LoadShaderProgram(ResourceId::TextVertex, ResourceId::TextFragment, "text");
    SetSamplerAndProjection(text, "text", projection);
    return text;
}

void LoadScenePrograms(AssetRegistry& registry, const Mat4& projection) {
    using namespace ResourceId;
    for (const char* name : frameStripPrograms) registry.LoadShaderProgram(FrameStripVertex, FrameStripFragment, name);
    registry.LoadShaderProgram(ParticleVertex, ParticleFragment, "particle");
    registry.LoadShaderProgram(ScreenQuadVertex, ScreenQuadFragment, "quad");
    for (const char* name : samplingPrograms) SetSamplerAndProjection(registry.Program(name), "sprite", projection);
}
