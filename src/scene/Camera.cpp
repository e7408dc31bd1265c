// Camera steps: the view is translated, which moves the eye the opposite way.
#include "scene/Camera.h"

#include <glm/gtc/matrix_transform.hpp>

namespace varn::scene {

void Camera::move(float step, bool forward, bool backward, bool left, bool right) {
  float z = 0.0f;
  float x = 0.0f;
  if (forward) z = step;
  if (backward) z = z - step;
  if (left) x = step;
  if (right) x = x - step;
  modelMatrix = glm::translate(modelMatrix, glm::vec3(x, 0.0f, z));
}

}  // namespace varn::scene
