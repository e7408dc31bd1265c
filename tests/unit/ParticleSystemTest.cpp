// Particle bursts on the GPU, read back from the particle buffers (so also the order of the
// captured outputs): emission, motion, death and determinism. Expiry within the frame and
// the bursts' colours are tested through the real frame in RenderTest.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <tuple>
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

TEST_F(ParticleSystemTest, NewSystemHoldsOnlyTheGeneratorAndEmitsOnItsFirstUpdate) {
  ParticleSystem system;
  ASSERT_TRUE(system.initialized);
  const std::vector<Particle> particles = readParticles(system);
  ASSERT_EQ(particles.size(), 1u);
  const Particle zero{};
  EXPECT_EQ(std::memcmp(&particles[0], &zero, sizeof(Particle)), 0) << "the generator starts as all-zero bytes";
  GLint maxOutput = 0;  // the record's 12 components within the 1024 every implementation accepts
  glGetProgramiv(system.updateProgram->programHandle, GL_GEOMETRY_VERTICES_OUT, &maxOutput);
  EXPECT_LE(maxOutput, 85);

  applyExplosionPreset(system, 0, glm::vec3(0.0f));
  step(system, kFrame);
  EXPECT_EQ(system.numParticles, 1 + explosionPreset(0).count);
  // The passes drawn after the particles must find the state they expect.
  EXPECT_FALSE(glIsEnabled(GL_RASTERIZER_DISCARD));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_EQ(depthWrites, GL_TRUE);
}

TEST_F(ParticleSystemTest, EveryPresetEmitsWithinItsRangesAndUnknownKindsFallBackToTheLevelHit) {
  const glm::vec3 hit(1.0f, 2.0f, 3.0f);
  for (int32_t kind = 0; kind < render::kExplosionKinds; ++kind) {
    SCOPED_TRACE(kind);
    const render::ExplosionPreset& preset = explosionPreset(kind);
    ParticleSystem system;
    applyExplosionPreset(system, kind, hit);
    step(system, kFrame);
    const std::vector<Particle> particles = readParticles(system);
    ASSERT_EQ(particles.size(), static_cast<size_t>(1 + preset.count));
    EXPECT_EQ(particles[0].iType, 0) << "the generator stays first and stays the generator";
    std::set<std::tuple<float, float, float>> velocities;
    for (size_t i = 1; i < particles.size(); ++i) {
      const Particle& p = particles[i];
      EXPECT_EQ(p.iType, 1);
      EXPECT_LE(glm::length(p.vPosition - hit), glm::length(p.vVelocity) * kFrame + 1e-5f) << "born at the hit";
      EXPECT_TRUE(glm::all(glm::greaterThanEqual(p.vVelocity, preset.velocityMin - 1e-4f)));
      EXPECT_TRUE(glm::all(glm::lessThanEqual(p.vVelocity, preset.velocityMax + 1e-4f)));
      EXPECT_GE(p.fLifeTime, preset.lifeMin - 1e-5f);
      EXPECT_LE(p.fLifeTime, preset.lifeMax + 1e-5f);
      EXPECT_EQ(p.vColor, preset.colour);
      EXPECT_FLOAT_EQ(p.fSize, preset.size);
      velocities.insert({p.vVelocity.x, p.vVelocity.y, p.vVelocity.z});
    }
    EXPECT_EQ(velocities.size(), static_cast<size_t>(preset.count)) << "every particle flies its own way";
  }
  for (int32_t kind : {-1, 3, 1000}) EXPECT_EQ(&explosionPreset(kind), &explosionPreset(0)) << kind;
  EXPECT_NE(&explosionPreset(1), &explosionPreset(0));
}

TEST_F(ParticleSystemTest, ParticlesMoveUnderGravityAgeAndDieLeavingTheGenerator) {
  ParticleSystem system;
  const glm::vec3 gravity(0.0f, -3.0f, 1.0f);
  // One emission of 25 on the first step with lives of 0.2 to 0.3 s, then none for 0.7 s.
  system.setGeneratorProperties(glm::vec3(0.5f, 1.0f, -2.0f), glm::vec3(-1.0f), glm::vec3(1.0f), gravity,
                                glm::vec3(0.2f, 0.4f, 0.6f), 0.2f, 0.3f, 0.05f, 0.7f, 25, 10.0f);
  step(system, 0.05f);
  const std::vector<Particle> before = readParticles(system);
  step(system, 0.1f);
  const std::vector<Particle> after = readParticles(system);
  ASSERT_EQ(before.size(), 26u);
  ASSERT_EQ(after.size(), before.size()) << "nobody dies within 0.15 s of a life of at least 0.2 s";
  for (size_t i = 1; i < after.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(after[i].iType, 1) << "a particle read back as a float type must not turn into a generator";
    EXPECT_NEAR(after[i].fLifeTime, before[i].fLifeTime - 0.1f, 1e-5f);
    EXPECT_LT(glm::length(after[i].vPosition - (before[i].vPosition + before[i].vVelocity * 0.1f)), 1e-5f);
    EXPECT_LT(glm::length(after[i].vVelocity - (before[i].vVelocity + gravity * 0.1f)), 1e-5f);
  }
  // Lives of at most 0.3 s, from a birth within the first step, are over 0.4 s after it at the latest.
  for (int steps = 0; steps < 5; ++steps) step(system, 0.05f);
  const std::vector<Particle> left = readParticles(system);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].iType, 0);
}

TEST_F(ParticleSystemTest, TheSameRandomSeedGivesTheSameBurst) {
  std::vector<Particle> runs[2];
  for (std::vector<Particle>& run : runs) {
    std::srand(1);
    ParticleSystem system;
    applyExplosionPreset(system, 2, glm::vec3(0.0f));
    step(system, kFrame);
    run = readParticles(system);
  }
  ASSERT_EQ(runs[0].size(), runs[1].size());
  EXPECT_EQ(std::memcmp(runs[0].data(), runs[1].data(), runs[0].size() * sizeof(Particle)), 0);
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

TEST_F(ParticleSystemTest, QuadAxesAreOrthonormalAndFaceTheViewerEvenLookingAlongUp) {
  ParticleSystem system;
  for (const auto& [position, target] :
       {std::pair{glm::vec3(0, 5, 3), glm::vec3(0.0f)}, std::pair{glm::vec3(0.0f), glm::vec3(0, -1, 0)}}) {
    system.setMatrices(glm::mat4(1.0f), glm::mat4(1.0f), position, target, glm::vec3(0, 1, 0));
    const glm::vec3 view = glm::normalize(target - position);
    EXPECT_NEAR(glm::length(system.vQuad1), 1.0f, 1e-5f) << "no NaN quads";
    EXPECT_NEAR(glm::length(system.vQuad2), 1.0f, 1e-5f);
    EXPECT_NEAR(glm::dot(system.vQuad1, system.vQuad2), 0.0f, 1e-5f);
    EXPECT_NEAR(std::abs(glm::dot(system.vQuad1, view)) + std::abs(glm::dot(system.vQuad2, view)), 0.0f, 1e-5f);
  }
}

}  // namespace
}  // namespace varn::test
