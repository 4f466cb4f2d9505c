// Builds the particle pool and its vertex array once at start-up.
#include "render/particle_emitter.h"

#include "render/asset_registry.h"
#include "render/sprite_renderer.h"

#include <glad/gl.h>

ParticleEmitter::ParticleEmitter(ShaderProgram* program, Texture* texture)
    : program(program), texture(texture), vao(CreateUnitQuadVertexArray()) {
    for (std::uint32_t i = 0; i < amount; ++i) particles.push_back(Particle{});
}

ParticleEmitter::~ParticleEmitter() {
    if (vao != 0) glDeleteVertexArrays(1, &vao);
}

std::unique_ptr<ParticleEmitter> CreateParticleEmitter(AssetRegistry& registry) {
    Texture* texture = registry.LoadTextureResource(249, "particle");
    return std::make_unique<ParticleEmitter>(registry.Program("particle"), texture);
}
