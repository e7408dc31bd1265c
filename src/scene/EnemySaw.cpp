// The enemy's saw: an ever-growing spin about its own x axis, placed by the body.
#include "scene/EnemySaw.h"

#include <glm/gtc/matrix_transform.hpp>

namespace varn::scene {

namespace {

constexpr double kDegreesPerSecond = 90.0 * 4.0;  // one full turn per second
constexpr double kRadiansPerDegree = 0.017453292519943295;

}  // namespace

EnemySaw::EnemySaw(const assets::Model& model) : model(model) {}

void EnemySaw::animate(double deltaTime, glm::mat4 bodyMatrix) {
  const float angle = static_cast<float>(deltaTime * kDegreesPerSecond * kRadiansPerDegree);
  spinMatrix = glm::rotate(spinMatrix, angle, glm::vec3(1.0f, 0.0f, 0.0f));
  modelMatrix = bodyMatrix * spinMatrix;
}

}  // namespace varn::scene
