// The particle emitter: a pool of 500 particles with the "particle" program, texture and its own
// unit quad. It is built at start-up and then left alone; nothing updates or draws it.
#pragma once

#include "render/geometry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

struct ShaderProgram;
struct Texture;
struct AssetRegistry;

struct Particle {
    Vec2 position{0.0f, 0.0f};
    Vec2 velocity{0.0f, 0.0f};
    std::array<float, 4> color{1.0f, 1.0f, 1.0f, 1.0f};  // RGBA
    float life = 0.0f;
};

class ParticleEmitter {
public:
    ParticleEmitter(ShaderProgram* program, Texture* texture);
    ~ParticleEmitter();  // deletes the vertex array: needs the context
    ParticleEmitter(const ParticleEmitter&) = delete;
    ParticleEmitter& operator=(const ParticleEmitter&) = delete;

    std::vector<Particle> particles;
    std::uint32_t amount = 500;
    ShaderProgram* program = nullptr;  // not owned: the registry's "particle" program
    Texture* texture = nullptr;        // not owned: the registry's "particle" texture
    std::uint32_t vao = 0;
};

// Registers the "particle" texture (resource 249) and builds the emitter around it and the
// "particle" program; either may be none.
std::unique_ptr<ParticleEmitter> CreateParticleEmitter(AssetRegistry& registry);
