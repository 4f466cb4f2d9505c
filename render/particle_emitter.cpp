// Builds the particle pool and its vertex array once at start-up.
#include "render/particle_emitter.h"

#include "core/resource_ids.h"
#include "render/asset_registry.h"
#include "render/sprite_renderer.h"

ParticleEmitter::ParticleEmitter(ShaderProgram* program, Texture* texture)
    : program(program), texture(texture), vao(CreateUnitQuadVertexArray()) {
    for (std::uint32_t i = 0; i < amount; ++i) particles.push_back(Particle{});
}

std::unique_ptr<ParticleEmitter> CreateParticleEmitter(AssetRegistry& registry) {
    Texture* texture = registry.LoadTextureResource(ResourceId::Particle, "particle");
    return std::make_unique<ParticleEmitter>(registry.Program("particle"), texture);
}
