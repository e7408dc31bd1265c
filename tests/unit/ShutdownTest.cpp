// Shutdown: everything that owns OpenGL objects is released while the context is still current.
#include <gtest/gtest.h>

#include <glm/glm.hpp>
#include <vector>

#include "GlTest.h"
#include "SceneLevels.h"
#include "app/Globals.h"
#include "app/Shutdown.h"
#include "render/RenderState.h"

namespace varn::test {
namespace {

class ShutdownTest : public GlTest {
 protected:
  void TearDown() override {
    resetGlobals();
    GlTest::TearDown();
  }
};

TEST_F(ShutdownTest, CleanupReleasesEveryProgramWithItsShadersTheCubeTheShadowMapTheParticlesAndTheBullets) {
  using namespace render;
  const std::vector<std::unique_ptr<Shader>*> slots = {&depthShader,      &debugQuadShader,  &simpleShader,
                                                       &texturedShader,   &silhouetteShader, &celShader,
                                                       &transparentShader};
  std::vector<GLuint> programs, stages;
  for (auto* slot : slots) {
    *slot = makeDepthShader("Shader/Depth.vert", "Shader/Depth.frag");
    programs.push_back((*slot)->programHandle);
    stages.insert(stages.end(), {(*slot)->vertexHandle, (*slot)->fragmentHandle});
  }
  cube = std::make_unique<scene::Cube>(glm::mat4(1.0f), simpleShader.get());
  particleSystems.push_back(std::make_unique<assets::ParticleSystem>());
  for (int i = 0; i < 3; ++i)
    bullets.push_back(std::make_unique<scene::Bullet>(test::boxModel(glm::vec3(-0.1f), glm::vec3(0.1f)),
                                                      glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, -1.0f)));
  glGenFramebuffers(1, &depthFramebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, depthFramebuffer);  // a name becomes a framebuffer once bound
  glGenTextures(1, &depthTexture);
  glBindTexture(GL_TEXTURE_2D, depthTexture);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glBindTexture(GL_TEXTURE_2D, 0);
  const GLuint framebuffer = depthFramebuffer, texture = depthTexture, cubeArray = cube->vertexArray,
               cubeBuffer = cube->indexBuffer;
  glUseProgram(0);  // a program still in use would only be flagged for deletion
  app::cleanup();

  EXPECT_EQ(cube, nullptr);
  for (const auto* slot : slots) EXPECT_EQ(*slot, nullptr);
  EXPECT_TRUE(particleSystems.empty());
  // Deleted now, while the context exists: nothing is left for a GL call after it is gone.
  for (GLuint program : programs) EXPECT_FALSE(glIsProgram(program)) << "program " << program;
  for (GLuint stage : stages) EXPECT_FALSE(glIsShader(stage)) << "shader " << stage;
  EXPECT_FALSE(glIsFramebuffer(framebuffer) || glIsTexture(texture) || glIsVertexArray(cubeArray) ||
               glIsBuffer(cubeBuffer));
  // The bullet list keeps its length; every owner is empty.
  ASSERT_EQ(bullets.size(), 3u);
  for (const auto& bullet : bullets) EXPECT_EQ(bullet, nullptr);
}

}  // namespace
}  // namespace varn::test
