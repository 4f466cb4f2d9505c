// Start-up of the ten shader programs: which sources each is built from, in which order, and
// the uniforms each receives before the first frame.
#include "render/program_setup.h"

#include "render/asset_registry.h"

#include <glad/gl.h>

namespace {

// The frame-strip programs share sources 105/106; each serves one renderer and one frame count.
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
    ShaderProgram* text = registry.LoadShaderProgram(109, 110, "text");
    SetSamplerAndProjection(text, "text", projection);
    return text;
}

void LoadScenePrograms(AssetRegistry& registry, const Mat4& projection) {
    for (const char* name : frameStripPrograms) registry.LoadShaderProgram(105, 106, name);
    registry.LoadShaderProgram(103, 104, "particle");
    registry.LoadShaderProgram(101, 102, "quad");
    for (const char* name : samplingPrograms) SetSamplerAndProjection(registry.Program(name), "sprite", projection);
}
