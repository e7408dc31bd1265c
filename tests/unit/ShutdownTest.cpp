// Shutdown: everything that owns OpenGL objects is released while the context is still current.
#include <gtest/gtest.h>

#include <glm/glm.hpp>
#include <vector>

#include "GlTest.h"
#include "GlobalsReset.h"
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
  depthShader = makeDepthShader("Shader/Depth.vert", "Shader/Depth.frag");
  debugQuadShader = makeDebugQuadShader("Shader/debug_quad.vert", "Shader/debug_quad_depth.frag");
  simpleShader = makeSimpleShader("Shader/blinn_phong.vert", "Shader/blinn_phong.frag");
  texturedShader = makeTexturedShader("Shader/blinn_phong_tex.vert", "Shader/blinn_phong_tex.frag");
  silhouetteShader = makeSilhouetteShader("Shader/silhoutte.vert", "Shader/silhoutte.frag");
  celShader = makeCelShader("Shader/cel.vert", "Shader/cel.frag");
  transparentShader = makeTransparentShader("Shader/transparent.vert", "Shader/transparent.frag");
  cube = std::make_unique<scene::Cube>(glm::mat4(1.0f), simpleShader.get());
  particleSystems.push_back(std::make_unique<assets::ParticleSystem>());
  for (int i = 0; i < 3; ++i)
    bullets.push_back(std::make_unique<scene::Bullet>(test::boxModel(glm::vec3(-0.1f), glm::vec3(0.1f)),
                                                      glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, -1.0f)));
  glGenFramebuffers(1, &depthFramebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, depthFramebuffer);  // a name becomes a framebuffer once bound
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glGenTextures(1, &depthTexture);
  glBindTexture(GL_TEXTURE_2D, depthTexture);
  glBindTexture(GL_TEXTURE_2D, 0);

  std::vector<std::unique_ptr<Shader>*> shaders = {&depthShader,      &debugQuadShader,  &simpleShader,
                                                   &texturedShader,   &silhouetteShader, &celShader,
                                                   &transparentShader};
  std::vector<const Shader*> all = {particleSystems.front()->updateProgram.get(),
                                    particleSystems.front()->renderProgram.get()};
  for (const auto* shader : shaders) all.push_back(shader->get());
  std::vector<GLuint> programs, stages;
  for (const Shader* shader : all) {
    programs.push_back(shader->programHandle);
    for (GLuint stage : {shader->vertexHandle, shader->fragmentHandle, shader->geometryHandle})
      if (stage != 0) stages.push_back(stage);
  }
  const GLuint shadowFramebuffer = depthFramebuffer, shadowTexture = depthTexture;
  const GLuint cubeVertexArray = cube->vertexArray, particleBuffer = particleSystems.front()->particleBuffer[0];

  // A program still in use would only be flagged for deletion, not deleted.
  glUseProgram(0);
  app::cleanup();

  EXPECT_EQ(cube, nullptr);
  for (const auto* shader : shaders) EXPECT_EQ(*shader, nullptr);
  EXPECT_TRUE(particleSystems.empty());
  // Deleted now, while the context exists: nothing is left for a GL call after it is gone.
  for (GLuint program : programs) EXPECT_EQ(glIsProgram(program), GL_FALSE) << "program " << program;
  for (GLuint stage : stages) EXPECT_EQ(glIsShader(stage), GL_FALSE) << "shader " << stage;
  EXPECT_EQ(stages.size(), 2 * all.size() + 2) << "two stages each, three for the particle programs";
  // The list keeps its length; every owner is empty.
  ASSERT_EQ(bullets.size(), 3u);
  for (const auto& bullet : bullets) EXPECT_EQ(bullet, nullptr);
  EXPECT_EQ(glIsFramebuffer(shadowFramebuffer), GL_FALSE);
  EXPECT_EQ(glIsTexture(shadowTexture), GL_FALSE);
  EXPECT_EQ(glIsVertexArray(cubeVertexArray), GL_FALSE);
  EXPECT_EQ(glIsBuffer(particleBuffer), GL_FALSE);
}

}  // namespace
}  // namespace varn::test
