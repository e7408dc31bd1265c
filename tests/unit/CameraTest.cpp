// Cameras: steps move the eye opposite to the view's translation.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "GlmExpect.h"
#include "scene/Camera.h"

namespace varn::test {
namespace {

glm::vec3 eyeOf(const scene::Camera& camera) { return translationOf(glm::inverse(camera.modelMatrix)); }

TEST(Camera, MoveStepsTheEyeAlongTheViewAndOpposingKeysCancel) {
  scene::Camera camera(glm::lookAt(glm::vec3(0, 5, 3), glm::vec3(0, 5, 0), glm::vec3(0, 1, 0)));
  expectNear(eyeOf(camera), {0.0f, 5.0f, 3.0f}, 1e-5f);
  camera.move(1.0f, true, false, false, false);
  expectNear(eyeOf(camera), {0.0f, 5.0f, 2.0f}, 1e-5f);
  camera.move(2.0f, false, false, false, true);
  expectNear(eyeOf(camera), {2.0f, 5.0f, 2.0f}, 1e-5f);
  const glm::mat4 before = camera.modelMatrix;
  camera.move(1.0f, true, true, true, true);
  EXPECT_EQ(camera.modelMatrix, before);
}

}  // namespace
}  // namespace varn::test
