// Particle bursts on the GPU: emission, ageing, expiry and determinism, read back from
// the particle buffers. Expiry within the frame and the bursts' colours are tested
// through the real frame in RenderTest.
#include <gtest/gtest.h>

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
  EXPECT_EQ(system.numParticles, 1);
  const std::vector<Particle> particles = readParticles(system);
  ASSERT_EQ(particles.size(), 1u);
  const Particle zero{};
  EXPECT_EQ(std::memcmp(&particles[0], &zero, sizeof(Particle)), 0) << "the generator starts as all-zero bytes";
  for (GLuint buffer : system.particleBuffer) {
    GLint bytes = 0;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    EXPECT_EQ(bytes, 4800000);
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  const GLuint buffer0 = system.particleBuffer[0], program = system.updateProgram->programHandle;
  EXPECT_FALSE(system.initialize()) << "a second initialize changes nothing";
  EXPECT_EQ(system.particleBuffer[0], buffer0);
  EXPECT_EQ(system.updateProgram->programHandle, program);

  applyExplosionPreset(system, 0, glm::vec3(0.0f));
  system.update(kFrame);
  EXPECT_TRUE(glIsEnabled(GL_RASTERIZER_DISCARD));
  EXPECT_EQ(system.numParticles, 1 + explosionPreset(0).count);
  EXPECT_EQ(system.readBuffer, 1);
  system.render();
  EXPECT_FALSE(glIsEnabled(GL_RASTERIZER_DISCARD));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_EQ(depthWrites, GL_TRUE);
}

TEST_F(ParticleSystemTest, EveryPresetEmitsWithinItsRangesAndUnknownKindsFallBackToTheLevelHit) {
  for (int32_t kind = 0; kind < render::kExplosionKinds; ++kind) {
    SCOPED_TRACE(kind);
    const render::ExplosionPreset& preset = explosionPreset(kind);
    const glm::vec3 hit(1.0f, 2.0f, 3.0f);
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
      // Born at the hit at some moment within the step, and flown straight since.
      const glm::vec3 flown = p.vPosition - hit;
      const float t = glm::dot(flown, p.vVelocity) / glm::dot(p.vVelocity, p.vVelocity);
      EXPECT_GE(t, -1e-6f);
      EXPECT_LE(t, kFrame + 1e-6f);
      EXPECT_LT(glm::length(flown - p.vVelocity * t), 1e-5f) << "off the line from the hit along its velocity";
      for (int axis = 0; axis < 3; ++axis) {
        EXPECT_GE(p.vVelocity[axis], preset.velocityMin[axis] - 1e-4f);
        EXPECT_LE(p.vVelocity[axis], preset.velocityMax[axis] + 1e-4f);
      }
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

TEST_F(ParticleSystemTest, ParticlesMoveUnderGravityAgeKeepTheirTypeAndDieLeavingTheGenerator) {
  ParticleSystem system;
  const glm::vec3 gravity(0.0f, -3.0f, 1.0f);
  // One emission of 25 on the first step with lives of 0.2 to 0.3 s, then none for 0.7 s.
  system.setGeneratorProperties(glm::vec3(0.5f, 1.0f, -2.0f), glm::vec3(-1.0f), glm::vec3(1.0f), gravity,
                                glm::vec3(0.2f, 0.4f, 0.6f), 0.2f, 0.3f, 0.05f, 0.7f, 25, 10.0f);
  step(system, 0.05f);
  const std::vector<Particle> before = readParticles(system);
  ASSERT_EQ(before.size(), 26u);

  step(system, 0.1f);
  const std::vector<Particle> after = readParticles(system);
  ASSERT_EQ(after.size(), before.size()) << "nobody dies within 0.15 s of a life of at least 0.2 s";
  EXPECT_EQ(after[0].iType, 0);
  for (size_t i = 1; i < after.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(after[i].iType, 1) << "a particle read back as a float type must not turn into a generator";
    EXPECT_NEAR(after[i].fLifeTime, before[i].fLifeTime - 0.1f, 1e-5f);
    const glm::vec3 position = before[i].vPosition + before[i].vVelocity * 0.1f;
    const glm::vec3 velocity = before[i].vVelocity + gravity * 0.1f;
    for (int axis = 0; axis < 3; ++axis) {
      EXPECT_NEAR(after[i].vPosition[axis], position[axis], 1e-5f);
      EXPECT_NEAR(after[i].vVelocity[axis], velocity[axis], 1e-5f);
    }
  }
  // Lives of at most 0.3 s, from a birth within the first step, are over 0.4 s after it at the latest.
  int steps = 0;
  for (int previous = system.numParticles; system.numParticles > 1 && steps < 20; previous = system.numParticles) {
    step(system, 0.05f);
    ++steps;
    EXPECT_LE(system.numParticles, previous) << "no emission while the period runs";
  }
  EXPECT_LE(steps, 5);
  const std::vector<Particle> left = readParticles(system);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].iType, 0);
}

TEST_F(ParticleSystemTest, SeedsComeFromRandInZYXOrderAndRepeatFromRunToRun) {
  std::srand(1);
  const int first = std::rand(), second = std::rand(), third = std::rand();
  const auto component = [](int r) { return -10.0f + 20.0f * static_cast<float>(r % 32768) / 32767.0f; };
  std::vector<Particle> runs[2];
  for (std::vector<Particle>& run : runs) {
    std::srand(1);
    ParticleSystem system;
    applyExplosionPreset(system, 2, glm::vec3(0.0f));
    step(system, kFrame);
    GLfloat seed[3] = {0, 0, 0};
    glGetUniformfv(system.updateProgram->programHandle, system.updateLocations[10], seed);
    EXPECT_FLOAT_EQ(seed[2], component(first));
    EXPECT_FLOAT_EQ(seed[1], component(second));
    EXPECT_FLOAT_EQ(seed[0], component(third));
    run = readParticles(system);
  }
  ASSERT_EQ(runs[0].size(), runs[1].size());
  EXPECT_EQ(std::memcmp(runs[0].data(), runs[1].data(), runs[0].size() * sizeof(Particle)), 0)
      << "the same seeds give the same burst";
}

TEST_F(ParticleSystemTest, QuadAxesAreOrthonormalAndFaceTheViewerEvenLookingAlongUp) {
  ParticleSystem system;
  const glm::vec3 up(0, 1, 0);
  for (const auto& [position, target] :
       {std::pair{glm::vec3(0, 5, 3), glm::vec3(0.0f)}, std::pair{glm::vec3(0.0f), glm::vec3(0, -1, 0)}}) {
    system.setMatrices(glm::mat4(1.0f), glm::mat4(1.0f), position, target, up);
    const glm::vec3 view = glm::normalize(target - position);
    EXPECT_NEAR(glm::length(system.vQuad1), 1.0f, 1e-5f) << "no NaN quads";
    EXPECT_NEAR(glm::length(system.vQuad2), 1.0f, 1e-5f);
    EXPECT_NEAR(glm::dot(system.vQuad1, system.vQuad2), 0.0f, 1e-5f);
    EXPECT_NEAR(glm::dot(system.vQuad1, view), 0.0f, 1e-5f);
    EXPECT_NEAR(glm::dot(system.vQuad2, view), 0.0f, 1e-5f);
  }
}

}  // namespace
}  // namespace varn::test
