// Cameras: construction, and steps that move the eye opposite to the view's translation.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "scene/Camera.h"

using varn::scene::Camera;

namespace {

glm::vec3 eyeOf(const Camera& camera) { return glm::vec3(glm::inverse(camera.modelMatrix)[3]); }

void expectNear(const glm::vec3& actual, const glm::vec3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5f);
  EXPECT_NEAR(actual.y, expected.y, 1e-5f);
  EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

}  // namespace

TEST(Camera, StartsAtTheIdentityWithZeroFieldsOrWithTheGivenView) {
  const Camera plain;
  EXPECT_EQ(plain.modelMatrix, glm::mat4(1.0f));
  EXPECT_EQ(plain.direction, glm::vec3(0.0f));
  EXPECT_EQ(plain.fieldOfView, 0.0f);

  const glm::mat4 view = glm::lookAt(glm::vec3(0, 5, 3), glm::vec3(0), glm::vec3(0, 1, 0));
  const Camera looking(view);
  EXPECT_EQ(looking.modelMatrix, view);
  EXPECT_EQ(looking.position, glm::vec3(0.0f));
  expectNear(eyeOf(looking), {0.0f, 5.0f, 3.0f});
}

TEST(Camera, MoveStepsTheEyeOppositeToTheViewTranslation) {
  Camera camera;
  camera.move(1.0f, true, false, false, false);
  expectNear(eyeOf(camera), {0.0f, 0.0f, -1.0f});
  camera.move(2.0f, false, false, false, true);
  expectNear(eyeOf(camera), {2.0f, 0.0f, -1.0f});
  // Opposite keys cancel.
  const glm::mat4 before = camera.modelMatrix;
  camera.move(1.0f, true, true, true, true);
  EXPECT_EQ(camera.modelMatrix, before);
}

TEST(Camera, CopiesCarryEveryField) {
  Camera camera(glm::translate(glm::mat4(1.0f), glm::vec3(1, 2, 3)));
  camera.position = {0, 5, 3};
  camera.direction = {0, -1, 0};
  camera.up = {0, 0, -1};
  camera.fieldOfView = 1.0f;
  camera.aspectRatio = 1.5f;
  camera.nearPlane = 0.1f;
  camera.farPlane = 40.0f;
  Camera copy;
  copy = camera;
  EXPECT_EQ(copy.modelMatrix, camera.modelMatrix);
  EXPECT_EQ(copy.position, camera.position);
  EXPECT_EQ(copy.direction, camera.direction);
  EXPECT_EQ(copy.up, camera.up);
  EXPECT_EQ(copy.aspectRatio, 1.5f);
  EXPECT_EQ(copy.farPlane, 40.0f);
}
