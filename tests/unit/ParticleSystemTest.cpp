// Particle bursts on the GPU, read back from the particle buffers (so also the order of the
// captured outputs): emission and the state left for the passes after it. Expiry within the frame:
// RenderTest; how the bursts look: the reference pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "GlTest.h"
#include "assets/ParticleSystem.h"
#include "render/ExplosionPresets.h"

namespace varn::test {
namespace {

using assets::Particle;
using assets::ParticleSystem;
using render::applyExplosionPreset;
using render::explosionPreset;

constexpr float kFrame = 1.0f / 60.0f;

// One step as the frame does it: simulate, then draw (which ends the rasteriser discard).
void step(ParticleSystem& system, float seconds) {
  system.update(seconds);
  system.render();
}

std::vector<Particle> readParticles(const ParticleSystem& system) {
  std::vector<Particle> particles(static_cast<size_t>(system.numParticles));
  glBindBuffer(GL_ARRAY_BUFFER, system.particleBuffer[system.readBuffer]);
  glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(particles.size() * sizeof(Particle)),
                     particles.data());
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return particles;
}

class ParticleSystemTest : public GlTest {};

TEST_F(ParticleSystemTest, NewSystemHoldsOnlyTheGeneratorEmitsOnItsFirstUpdateAndReleasesItsObjects) {
  auto system = std::make_unique<ParticleSystem>();
  ASSERT_TRUE(system->initialized);
  const std::vector<Particle> particles = readParticles(*system);
  ASSERT_EQ(particles.size(), 1u);
  const Particle zero{};
  EXPECT_EQ(std::memcmp(&particles[0], &zero, sizeof(Particle)), 0) << "the generator starts as all-zero bytes";
  applyExplosionPreset(*system, 0, glm::vec3(0.0f));
  step(*system, kFrame);
  EXPECT_EQ(system->numParticles, 1 + explosionPreset(0).count);
  for (int32_t kind : {-1, 3, 1000}) EXPECT_EQ(&explosionPreset(kind), &explosionPreset(0)) << "unknown " << kind;
  // The passes drawn after the particles must find the state they expect.
  EXPECT_FALSE(glIsEnabled(GL_RASTERIZER_DISCARD));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_EQ(depthWrites, GL_TRUE);
  // A retired burst leaves nothing behind: thousands of them come and go in a game.
  const GLuint feedback = system->transformFeedback, query = system->query, buffer = system->particleBuffer[1],
               vertexArray = system->vertexArray[1];
  system.reset();
  EXPECT_FALSE(glIsTransformFeedback(feedback) || glIsQuery(query) || glIsBuffer(buffer) ||
               glIsVertexArray(vertexArray));
}

TEST_F(ParticleSystemTest, BurstsShareOneProgramPairThatOutlivesThemUntilReleased) {
  GLuint update = 0, render = 0;
  {
    ParticleSystem first;
    ParticleSystem second;
    update = first.updateProgram->programHandle;
    render = first.renderProgram->programHandle;
    EXPECT_EQ(second.updateProgram->programHandle, update) << "a hit must not build and compile programs again";
    EXPECT_EQ(second.renderProgram->programHandle, render);
  }
  // A hit after every burst has gone still finds the programs built.
  {
    ParticleSystem later;
    EXPECT_EQ(later.updateProgram->programHandle, update);
    applyExplosionPreset(later, 1, glm::vec3(0.0f));
    step(later, kFrame);
    EXPECT_EQ(later.numParticles, 1 + explosionPreset(1).count);
  }
  glUseProgram(0);  // a program in use would only be flagged for deletion
  assets::releaseParticlePrograms();
  EXPECT_EQ(glIsProgram(update), GL_FALSE);
  EXPECT_EQ(glIsProgram(render), GL_FALSE);
  ParticleSystem rebuilt;
  applyExplosionPreset(rebuilt, 0, glm::vec3(0.0f));
  step(rebuilt, kFrame);
  EXPECT_EQ(rebuilt.numParticles, 1 + explosionPreset(0).count) << "the next burst builds the programs afresh";
}

}  // namespace
}  // namespace varn::test
