// One frame: the shadow pass from the light nearest the robot, the four colour passes
// and the particle step.
#pragma once

#include <glm/glm.hpp>
#include <vector>

#include "render/Light.h"

namespace varn::render {

void draw();

// The light nearest to point (ties go to the earlier light). lights must not be empty.
Light chooseNearestLight(const std::vector<Light>& lights, glm::vec3 point);
// The light looks straight down.
glm::mat4 lightViewFor(const Light& light);
glm::mat4 lightProjectionMatrix();
// Clip space [-1, 1] to texture space [0, 1].
glm::mat4 biasMatrix();

// Per-frame values shared with the colour passes.
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
