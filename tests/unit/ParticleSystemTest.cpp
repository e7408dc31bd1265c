// Particle bursts on the GPU: emission, ageing, expiry, determinism and drawing,
// all read back from the particle buffers and the framebuffer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <glm/gtc/matrix_transform.hpp>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "GlTest.h"
#include "assets/ParticleSystem.h"
#include "render/ExplosionPresets.h"

namespace {

using varn::assets::Particle;
using varn::assets::ParticleSystem;
using varn::render::explosionPreset;
using varn::render::ExplosionPreset;

constexpr float kFrame = 1.0f / 60.0f;

// One step as the frame does it: simulate, then draw (which ends the rasteriser discard).
void step(ParticleSystem& system, float seconds) {
  system.update(seconds);
  system.render();
}

class ParticleSystemTest : public varn::test::GlTest {
 protected:
  static std::vector<Particle> readParticles(const ParticleSystem& system) {
    std::vector<Particle> particles(static_cast<size_t>(system.numParticles));
    glBindBuffer(GL_ARRAY_BUFFER, system.particleBuffer[system.readBuffer]);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(particles.size() * sizeof(Particle)),
                       particles.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return particles;
  }

  // A burst that emits once, on its first step, and then not for a long while.
  static void setSingleEmission(ParticleSystem& system, glm::vec3 gravity, float lifeMin, float lifeMax,
                                int32_t count) {
    system.setGeneratorProperties(glm::vec3(0.5f, 1.0f, -2.0f), glm::vec3(-1.0f), glm::vec3(1.0f), gravity,
                                  glm::vec3(0.2f, 0.4f, 0.6f), lifeMin, lifeMax, 0.05f, 0.7f, count, 10.0f);
  }
};

TEST_F(ParticleSystemTest, NewSystemHoldsOnlyTheGenerator) {
  ParticleSystem system;
  ASSERT_TRUE(system.initialized);
  EXPECT_EQ(system.numParticles, 1);
  EXPECT_EQ(system.readBuffer, 0);
  EXPECT_FLOAT_EQ(system.age, 0.0f);

  const std::vector<Particle> particles = readParticles(system);
  ASSERT_EQ(particles.size(), 1u);
  const Particle zero{};
  EXPECT_EQ(std::memcmp(&particles[0], &zero, sizeof(Particle)), 0) << "the generator starts as all-zero bytes";

  GLint bufferSize = 0;
  glBindBuffer(GL_ARRAY_BUFFER, system.particleBuffer[1]);
  glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bufferSize);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  EXPECT_EQ(bufferSize, 4800000);
}

TEST_F(ParticleSystemTest, SecondInitializeChangesNothing) {
  ParticleSystem system;
  const GLuint buffer0 = system.particleBuffer[0];
  const GLuint program = system.updateProgram->programHandle;
  EXPECT_FALSE(system.initialize());
  EXPECT_EQ(system.particleBuffer[0], buffer0);
  EXPECT_EQ(system.updateProgram->programHandle, program);
  EXPECT_EQ(system.numParticles, 1);
}

TEST_F(ParticleSystemTest, EveryPresetEmitsOnItsFirstUpdateWithinItsRanges) {
  for (int32_t kind = 0; kind < varn::render::kExplosionKinds; ++kind) {
    SCOPED_TRACE(kind);
    const ExplosionPreset& preset = explosionPreset(kind);
    const glm::vec3 hit(1.0f, 2.0f, 3.0f);
    ParticleSystem system;
    varn::render::applyExplosionPreset(system, kind, hit);
    step(system, kFrame);

    ASSERT_EQ(system.numParticles, 1 + preset.count);
    EXPECT_EQ(system.readBuffer, 1);
    const std::vector<Particle> particles = readParticles(system);
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
}

TEST_F(ParticleSystemTest, ParticlesMoveUnderGravityAgeAndKeepTheirType) {
  ParticleSystem system;
  const glm::vec3 gravity(0.0f, -3.0f, 1.0f);
  setSingleEmission(system, gravity, 1.0f, 2.0f, 30);
  step(system, kFrame);
  const std::vector<Particle> before = readParticles(system);
  ASSERT_EQ(before.size(), 31u);

  step(system, 0.1f);  // no emission: the period is far from over
  const std::vector<Particle> after = readParticles(system);
  ASSERT_EQ(after.size(), before.size()) << "nobody dies within 0.1 s of a life of at least 1 s";
  EXPECT_EQ(after[0].iType, 0);
  for (size_t i = 1; i < after.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(after[i].iType, 1) << "a particle read back as a float type must not turn into a generator";
    EXPECT_NEAR(after[i].fLifeTime, before[i].fLifeTime - 0.1f, 1e-5f);
    const glm::vec3 expectedPosition = before[i].vPosition + before[i].vVelocity * 0.1f;
    const glm::vec3 expectedVelocity = before[i].vVelocity + gravity * 0.1f;
    for (int axis = 0; axis < 3; ++axis) {
      EXPECT_NEAR(after[i].vPosition[axis], expectedPosition[axis], 1e-5f);
      EXPECT_NEAR(after[i].vVelocity[axis], expectedVelocity[axis], 1e-5f);
    }
  }
}

TEST_F(ParticleSystemTest, ParticlesDieAndOnlyTheGeneratorRemainsOnceEmissionStops) {
  ParticleSystem system;
  setSingleEmission(system, glm::vec3(0.0f), 0.2f, 0.3f, 25);
  step(system, 0.05f);
  ASSERT_EQ(system.numParticles, 26);

  int steps = 1;
  int previous = system.numParticles;
  while (system.numParticles > 1 && steps < 20) {
    step(system, 0.05f);
    ++steps;
    EXPECT_LE(system.numParticles, previous) << "no emission while the period runs";
    previous = system.numParticles;
  }
  EXPECT_EQ(system.numParticles, 1);
  // Lives of at most 0.3 s are over after the seventh 0.05 s step at the latest.
  EXPECT_LE(steps, 8);
  EXPECT_GE(steps, 5) << "lives of at least 0.2 s outlast four steps";
  const std::vector<Particle> left = readParticles(system);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].iType, 0);
}

TEST_F(ParticleSystemTest, GeneratorKeepsTypeZeroAcrossManyUpdates) {
  ParticleSystem system;
  varn::render::applyExplosionPreset(system, 1, glm::vec3(0.0f));
  for (int frame = 1; frame <= 12; ++frame) {
    step(system, kFrame);
    const std::vector<Particle> particles = readParticles(system);
    ASSERT_EQ(particles.size(), static_cast<size_t>(1 + 40 * frame)) << "kind 1 emits on every frame of its life";
    EXPECT_EQ(particles[0].iType, 0);
    int generators = 0;
    for (const Particle& p : particles) generators += p.iType == 0 ? 1 : 0;
    EXPECT_EQ(generators, 1);
  }
}

TEST_F(ParticleSystemTest, KindZeroBurstAtTenthSecondFramesLivesThreeFrames) {
  std::vector<std::unique_ptr<ParticleSystem>> systems;
  systems.push_back(std::make_unique<ParticleSystem>());
  const glm::mat4 projection = glm::perspective(1.0471976f, 4.0f / 3.0f, 0.1f, 50.0f);
  const glm::mat4 view = glm::lookAt(glm::vec3(0, 5, 3), glm::vec3(0), glm::vec3(0, 1, 0));

  int framesDrawn = 0;
  while (!systems.empty() && framesDrawn < 10) {
    ParticleSystem& system = *systems.front();
    varn::render::applyExplosionPreset(system, 0, glm::vec3(0.0f, 0.5f, 0.0f));
    system.setMatrices(projection, view, glm::vec3(0, 5, 3), glm::normalize(glm::vec3(0, -5, -3)), glm::vec3(0, 1, 0));
    system.update(0.1f);
    system.render();
    ++framesDrawn;
    EXPECT_EQ(system.numParticles, 1 + 35 * framesDrawn);
    system.age += 0.1f;
    if (system.age > system.duration) systems.erase(systems.begin());
  }
  EXPECT_EQ(framesDrawn, 3);
}

TEST_F(ParticleSystemTest, SeedsComeFromRandInZYXOrderAndRepeatFromRunToRun) {
  std::srand(1);
  const int first = std::rand();
  const int second = std::rand();
  const int third = std::rand();
  const auto component = [](int r) { return -10.0f + 20.0f * static_cast<float>(r % 32768) / 32767.0f; };

  std::vector<Particle> runs[2];
  for (std::vector<Particle>& run : runs) {
    std::srand(1);
    ParticleSystem system;
    varn::render::applyExplosionPreset(system, 2, glm::vec3(0.0f));
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

TEST_F(ParticleSystemTest, UpdateDiscardsRasterisationAndRenderRestoresTheFrameState) {
  ParticleSystem system;
  varn::render::applyExplosionPreset(system, 0, glm::vec3(0.0f));
  system.update(kFrame);
  EXPECT_TRUE(glIsEnabled(GL_RASTERIZER_DISCARD));
  system.render();
  EXPECT_FALSE(glIsEnabled(GL_RASTERIZER_DISCARD));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_EQ(depthWrites, GL_TRUE);
}

TEST_F(ParticleSystemTest, QuadAxesAreOrthonormalAndFaceTheViewer) {
  ParticleSystem system;
  const glm::vec3 position(0, 5, 3);
  const glm::vec3 direction = glm::normalize(glm::vec3(0, -5, -3));
  system.setMatrices(glm::mat4(1.0f), glm::mat4(1.0f), position, direction, glm::vec3(0, 1, 0));
  const glm::vec3 dir = glm::normalize(direction - position);
  EXPECT_NEAR(glm::length(system.vQuad1), 1.0f, 1e-5f);
  EXPECT_NEAR(glm::length(system.vQuad2), 1.0f, 1e-5f);
  EXPECT_NEAR(glm::dot(system.vQuad1, system.vQuad2), 0.0f, 1e-5f);
  EXPECT_NEAR(glm::dot(system.vQuad1, dir), 0.0f, 1e-5f);
  EXPECT_NEAR(glm::dot(system.vQuad2, dir), 0.0f, 1e-5f);

  // The free camera looking straight down along its up vector.
  system.setMatrices(glm::mat4(1.0f), glm::mat4(1.0f), glm::vec3(0.0f), glm::vec3(0, -1, 0), glm::vec3(0, 1, 0));
  EXPECT_NEAR(glm::length(system.vQuad1), 1.0f, 1e-5f) << "no NaN quads when the view runs along up";
  EXPECT_NEAR(glm::length(system.vQuad2), 1.0f, 1e-5f);
  EXPECT_NEAR(glm::dot(system.vQuad1, glm::vec3(0, 1, 0)), 0.0f, 1e-5f);
}

// Pixels of a picture of one burst whose colour clearly leans one way.
struct TintCount {
  int redOverBlue = 0;
  int blueOverRed = 0;
  int greenOverRed = 0;
};

// Draws one burst, 10 frames old, into an offscreen target seen from 1.5 units away.
TintCount drawBurst(int32_t kind) {
  constexpr int kSize = 64;
  GLuint texture = 0, framebuffer = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSize, kSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glBindTexture(GL_TEXTURE_2D, 0);
  glGenFramebuffers(1, &framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, texture, 0);
  EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
  glViewport(0, 0, kSize, kSize);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  // As the frame leaves it: back faces culled, so the quads must face the camera.
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);

  {
    ParticleSystem system;
    varn::render::applyExplosionPreset(system, kind, glm::vec3(0.0f));
    const glm::vec3 eye(0.0f, 0.0f, 1.5f);
    system.setMatrices(glm::perspective(1.0471976f, 1.0f, 0.1f, 50.0f),
                       glm::lookAt(eye, glm::vec3(0.0f), glm::vec3(0, 1, 0)), eye, glm::vec3(0, 0, -1),
                       glm::vec3(0, 1, 0));
    for (int frame = 0; frame < 10; ++frame) step(system, kFrame);
  }

  std::vector<unsigned char> pixels(kSize * kSize * 4);
  glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteFramebuffers(1, &framebuffer);
  glDeleteTextures(1, &texture);
  glDisable(GL_CULL_FACE);

  TintCount count;
  for (size_t i = 0; i < pixels.size(); i += 4) {
    const int r = pixels[i], g = pixels[i + 1], b = pixels[i + 2];
    count.redOverBlue += r > b + 40 ? 1 : 0;
    count.blueOverRed += b > r + 40 ? 1 : 0;
    count.greenOverRed += g > r + 40 ? 1 : 0;
  }
  return count;
}

TEST_F(ParticleSystemTest, BurstsGlowInTheirPresetColour) {
  const TintCount level = drawBurst(0);  // cyan
  EXPECT_GT(level.blueOverRed, 20);
  EXPECT_GT(level.greenOverRed, 20);
  EXPECT_LT(level.redOverBlue, level.blueOverRed / 10);
  for (int32_t kind : {1, 2}) {  // hot orange, orange
    SCOPED_TRACE(kind);
    const TintCount hot = drawBurst(kind);
    EXPECT_GT(hot.redOverBlue, 20);
    EXPECT_LT(hot.blueOverRed, hot.redOverBlue / 10);
  }
}

TEST(ExplosionPresetTest, UnknownKindsFallBackToTheLevelHit) {
  const ExplosionPreset& level = explosionPreset(0);
  for (int32_t kind : {-1, 3, 1000}) {
    const ExplosionPreset& preset = explosionPreset(kind);
    EXPECT_EQ(&preset, &level) << kind;
  }
  EXPECT_NE(&explosionPreset(1), &level);
  EXPECT_NE(&explosionPreset(2), &level);
}

TEST_F(ParticleSystemTest, ASystemKeepsTheFirstPresetItIsGiven) {
  ParticleSystem system;
  varn::render::applyExplosionPreset(system, 2, glm::vec3(1.0f, 0.0f, 0.0f));
  varn::render::applyExplosionPreset(system, 0, glm::vec3(5.0f, 0.0f, 0.0f));
  EXPECT_FLOAT_EQ(system.duration, explosionPreset(2).duration);
  EXPECT_EQ(system.vGenPosition, glm::vec3(1.0f, 0.0f, 0.0f));
  EXPECT_EQ(system.vGenVelocityRange, explosionPreset(2).velocityMax - explosionPreset(2).velocityMin);
  EXPECT_FLOAT_EQ(system.elapsedTime, 0.8f);
}

}  // namespace
