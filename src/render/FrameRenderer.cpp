// One frame: the shadow pass from the light nearest the robot, then the colour
// passes into the window and the particle step.
#include "render/FrameRenderer.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

#include "app/Globals.h"
#include "render/ColourPasses.h"
#include "render/FrameStageHook.h"
#include "render/FrameValues.h"
#include "render/ParticleStep.h"
#include "render/Projection.h"
#include "render/RenderState.h"
#include "render/ShadowCache.h"

namespace varn::render {

FrameStageHook frameStageHook = nullptr;

namespace {

// Runs one stage of the frame between the profiling hook's two calls.
template <typename Stage>
void runStage(FrameStage stage, Stage&& run) {
  if (frameStageHook != nullptr) frameStageHook(stage, true);
  run();
  if (frameStageHook != nullptr) frameStageHook(stage, false);
}

// Filled by the textured pass and read by the cel pass; kept between frames only so that
// its lists keep their memory.
LevelDraws levelDraws;

constexpr float kLightFieldOfView = 1.7453293f;  // 100 degrees, radians
constexpr float kLightNear = 2.0f;
constexpr float kLightFar = 10.0f;

void shadowPass(FrameValues& frame) {
  glBindFramebuffer(GL_FRAMEBUFFER, depthFramebuffer);
  glViewport(0, 0, kShadowMapSize, kShadowMapSize);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  // Pushes the stored depths back so lit surfaces do not shadow themselves.
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(6.0f, 3.5f);

  glUseProgram(depthShader->programHandle);
  frame.lightView = lightViewFor(frame.nearestLight);
  frame.lightProjection = lightProjectionMatrix();
  // The level's depth from the cache where it still holds, the moving casters over it.
  drawShadowCasters(frame.depthMatrix(glm::mat4(1.0f)), frame.nearestLight.position);
}

}  // namespace

Light chooseNearestLight(const std::vector<Light>& candidates, glm::vec3 point) {
  auto distanceTo = [&point](const Light& light) {
    const glm::vec3 d = point - light.position;
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  };
  const Light* nearest = &candidates.front();
  float best = distanceTo(*nearest);
  for (const Light& light : candidates) {
    const float distance = distanceTo(light);
    if (distance < best) {  // strictly: on a tie the earlier light stays
      nearest = &light;
      best = distance;
    }
  }
  return *nearest;
}

glm::mat4 lightViewFor(const Light& light) {
  const glm::vec3 eye = light.position;
  return glm::lookAt(eye, glm::vec3(eye.x, eye.y - 1.0f, eye.z), glm::vec3(0.0f, 0.0f, -1.0f));
}

glm::mat4 lightProjectionMatrix() { return perspectiveMatrix(kLightFieldOfView, 1.0f, kLightNear, kLightFar); }

glm::mat4 biasMatrix() {
  return glm::mat4(glm::vec4(0.5f, 0.0f, 0.0f, 0.0f), glm::vec4(0.0f, 0.5f, 0.0f, 0.0f),
                   glm::vec4(0.0f, 0.0f, 0.5f, 0.0f), glm::vec4(0.5f, 0.5f, 0.5f, 1.0f));
}

void draw() {
  objectsConsidered = 0;
  objectsDrawn = 0;

  FrameValues frame;
  // The robot's lowest corner as it stands when the frame begins.
  frame.nearestLight = chooseNearestLight(lights, character.worldCornerA);

  runStage(FrameStage::Shadow, [&frame] { shadowPass(frame); });

  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, framebufferWidth, framebufferHeight);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glDisable(GL_POLYGON_OFFSET_FILL);

  // The depth-map inspection program gets its inputs, but the game draws no quad with it.
  glUseProgram(debugQuadShader->programHandle);
  glUniform1f(glGetUniformLocation(debugQuadShader->programHandle, "near_plane"), -10.0f);
  glUniform1f(glGetUniformLocation(debugQuadShader->programHandle, "far_plane"), 20.0f);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, depthTexture);

  // The player camera's stored position stays at its start value while the robot
  // carries the view along, so the eye comes from the view itself.
  const glm::mat4 eyeToWorld = glm::inverse(activeCamera->modelMatrix);
  frame.cameraEye = glm::vec3(eyeToWorld[3]);
  viewFrustum.updateFrustum(frame.cameraEye, activeCamera->direction, activeCamera->up);

  runStage(FrameStage::Textured, [&frame] { texturedPass(frame, levelDraws); });
  runStage(FrameStage::Silhouette, [] { silhouettePass(); });
  runStage(FrameStage::Cel, [&frame] { celPass(frame, levelDraws); });
  runStage(FrameStage::Transparency, [] { transparencyPass(); });
  runStage(FrameStage::Particles, [] { particleStep(); });
}

}  // namespace varn::render
