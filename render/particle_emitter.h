// The particle emitter: a pool of 500 particles with the "particle" program, texture and its own
// unit quad. It is built at start-up and then left alone; nothing updates or draws it. It stays
// because its program and image belong to the embedded set that start-up loads in a fixed order.
#pragma once

#include "core/geometry.h"
#include "render/gl_object.h"

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

    std::vector<Particle> particles;
    std::uint32_t amount = 500;
    ShaderProgram* program = nullptr;  // not owned: the registry's "particle" program
    Texture* texture = nullptr;        // not owned: the registry's "particle" texture
    VertexArray vao;  // deleted with the emitter: destroy it while the context exists
};

// Registers the "particle" texture (ResourceId::Particle) and builds the emitter around it and the
// "particle" program; either may be none.
std::unique_ptr<ParticleEmitter> CreateParticleEmitter(AssetRegistry& registry);
