// The values one frame computes once and every pass reads: the light nearest the robot,
// its view and projection, and the eye.
#pragma once

#include <glm/glm.hpp>

#include "render/Light.h"

namespace varn::render {

// Clip space [-1, 1] to texture space [0, 1].
glm::mat4 biasMatrix();

struct FrameValues {
  Light nearestLight;
  glm::mat4 lightView{1.0f};
  glm::mat4 lightProjection{1.0f};
  glm::vec3 cameraEye{0.0f};
  glm::mat4 depthMatrix(const glm::mat4& model) const { return (lightProjection * lightView) * model; }
  glm::mat4 shadowMatrix(const glm::mat4& model) const {
    return ((biasMatrix() * lightProjection) * lightView) * model;
  }
};

}  // namespace varn::render
