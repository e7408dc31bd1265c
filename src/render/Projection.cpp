// The game's perspective matrices (camera, shadow light, particles).
#include "render/Projection.h"

#include <cmath>

namespace varn::render {

glm::mat4 perspectiveMatrix(float fovy, float aspect, float nearDistance, float farDistance) {
  // glm::perspective takes the tangent in float; the last digit of [1][1] matters to the tests.
  const float tanHalf = static_cast<float>(std::tan(static_cast<double>(fovy) / 2.0));
  glm::mat4 result(0.0f);
  result[0][0] = 1.0f / (aspect * tanHalf);
  result[1][1] = 1.0f / tanHalf;
  result[2][2] = -(farDistance + nearDistance) / (farDistance - nearDistance);
  result[2][3] = -1.0f;
  result[3][2] = -(2.0f * farDistance * nearDistance) / (farDistance - nearDistance);
  return result;
}

}  // namespace varn::render
