// Particle bursts on the GPU, read back from the particle buffers (so also the order of the
// captured outputs): emission, the state left for the passes after it, and the glow one spark
// draws. Expiry within the frame: RenderTest; how whole bursts look: the reference pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "GlTest.h"
#include "assets/ParticleSystem.h"
#include "render/ExplosionPresets.h"
#include "render/Projection.h"

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

// One spark drawn alone onto black in a square picture of its own, the camera at the origin
// looking down -z; the RGB bytes, bottom row first.
std::vector<unsigned char> drawOneSpark(ParticleSystem& system, const Particle& spark, int size) {
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLuint colour = 0, framebuffer = 0;
  glGenRenderbuffers(1, &colour);
  glBindRenderbuffer(GL_RENDERBUFFER, colour);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, size, size);
  glGenFramebuffers(1, &framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
  glViewport(0, 0, size, size);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindBuffer(GL_ARRAY_BUFFER, system.particleBuffer[system.readBuffer]);
  glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(Particle), &spark);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  system.numParticles = 1;
  system.setMatrices(render::perspectiveMatrix(1.0471976f, 1.0f, 0.1f, 50.0f), glm::mat4(1.0f), glm::vec3(0.0f),
                     glm::vec3(0.0f, 0.0f, -1.0f), glm::vec3(0.0f, 1.0f, 0.0f));
  system.render();
  std::vector<unsigned char> rgb(static_cast<size_t>(size * size * 3));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, size, size, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
  glDeleteFramebuffers(1, &framebuffer);
  glDeleteRenderbuffers(1, &colour);
  return rgb;
}

// A spark's look: its colour fading out to its round rim, a white core falling off as
// exp(-16 d2) at d2, the square of the distance from its centre in units of the glow's radius,
// and 0.55 of that, limited to full brightness before the blend, added onto the picture.
float sparkChannel(float colour, float d2) {
  if (d2 >= 1.0f) return 0.0f;
  const float value = colour * (1.0f - d2) * (1.0f - d2) + 0.2f * std::exp(-16.0f * d2);
  return std::min(value, 1.0f) * 0.55f * 255.0f;
}

TEST_F(ParticleSystemTest, OneSparkGlowsRoundWithAWhiteCoreAndAddsNothingBeyondItsRim) {
  ParticleSystem system;
  Particle spark;
  spark.vPosition = glm::vec3(0.0f, 0.0f, -1.3f);  // drawn 0.3 nearer: at depth 1
  spark.vColor = glm::vec3(0.9f, 0.45f, 0.1f);
  spark.fLifeTime = 1.0f;  // not yet fading
  spark.fSize = 0.1f;      // a glow of radius 0.04 + 3 x 0.1
  spark.iType = 1;
  constexpr int kSize = 96;
  const std::vector<unsigned char> rgb = drawOneSpark(system, spark, kSize);
  // The glow's radius in pixels: 0.34 at depth 1 under a 60 degree field of view.
  const float radius = 0.34f / std::tan(0.5235988f) * (kSize / 2.0f);
  int worst = 0, litBeyondRim = 0, lit = 0;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const float dx = (static_cast<float>(x) + 0.5f - kSize / 2.0f) / radius;
      const float dy = (static_cast<float>(y) + 0.5f - kSize / 2.0f) / radius;
      const float d2 = dx * dx + dy * dy;
      for (int c = 0; c < 3; ++c) {
        const int got = rgb[static_cast<size_t>((y * kSize + x) * 3 + c)];
        const int expected = static_cast<int>(std::lround(sparkChannel(spark.vColor[c], d2)));
        worst = std::max(worst, std::abs(got - expected));
        if (got > 0 && d2 >= 1.0f) ++litBeyondRim;
        if (got > 0) ++lit;
      }
    }
  }
  EXPECT_GT(lit, 3 * 1500) << "the spark was not drawn";
  EXPECT_EQ(litBeyondRim, 0) << "the corners of the shape around the glow must add no light";
  EXPECT_LE(worst, 2) << "largest channel difference from the glow, of 255";
}

}  // namespace
}  // namespace varn::test
