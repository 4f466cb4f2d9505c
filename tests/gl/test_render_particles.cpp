// The particle emitter as start-up leaves it: a full pool at rest and its own vertex array.
#include "gl_test_support.h"

#include "render/asset_registry.h"
#include "render/particle_emitter.h"
#include "render/program_setup.h"

namespace {

TEST(ParticleEmitter, HoldsFiveHundredParticlesAtRest) {
    AssetRegistry registry;
    testing::internal::CaptureStdout();
    LoadScenePrograms(registry, Mat4::Identity());
    std::unique_ptr<ParticleEmitter> emitter = CreateParticleEmitter(registry);
    testing::internal::GetCapturedStdout();

    ASSERT_NE(emitter, nullptr);
    EXPECT_EQ(emitter->amount, 500u);
    ASSERT_EQ(emitter->particles.size(), 500u);
    for (const Particle& particle : emitter->particles) {
        EXPECT_EQ(particle.life, 0.0f);
        EXPECT_EQ(particle.color, (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
        EXPECT_EQ(particle.position.x, 0.0f);
        EXPECT_EQ(particle.position.y, 0.0f);
        EXPECT_EQ(particle.velocity.x, 0.0f);
        EXPECT_EQ(particle.velocity.y, 0.0f);
    }
    EXPECT_EQ(emitter->program, registry.Program("particle"));
    ASSERT_NE(emitter->program, nullptr);
    // The "particle" entry exists, holding the image or, while the art is absent, none.
    ASSERT_EQ(registry.textures.count("particle"), 1u);
    EXPECT_EQ(emitter->texture, registry.FindTexture("particle"));
    EXPECT_TRUE(glIsVertexArray(emitter->vao.id));

    const GLuint vao = emitter->vao.id;
    emitter.reset();
    EXPECT_FALSE(glIsVertexArray(vao));
    registry.ReleaseAll();
}

}  // namespace
