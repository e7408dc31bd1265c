// View-frustum culling: the box test against planes built from the camera frame, with the
// game's corner convention cornerA (min x, min y, max z), cornerB (max x, max y, min z).
#include <gtest/gtest.h>

#include <cmath>

#include "render/Frustum.h"
#include "render/PlayerView.h"

namespace varn::render {
namespace {

using R = FrustumResult;
constexpr float kFov = kPlayerFieldOfView;

R classify(const Frustum& frustum, glm::vec3 centre, float half) {
  return frustum.boxInFrustum(centre + glm::vec3(-half, -half, half), centre + glm::vec3(half, half, -half));
}

TEST(Frustum, StartUpCameraClassifiesBoxesAroundItsView) {
  // The player camera at start-up: 5 up, 3 behind the robot, looking at the origin.
  const glm::vec3 eye = kPlayerEye, direction = glm::normalize(kPlayerTarget - kPlayerEye);
  const glm::vec3 cameraUp = glm::normalize(glm::cross(glm::cross(direction, glm::vec3(0, 1, 0)), direction));
  Frustum frustum;
  frustum.setFrustumShape(kFov, 4.0f / 3.0f, kPlayerNear, kPlayerFar);
  frustum.updateFrustum(eye, direction, glm::vec3(0.0f, 1.0f, 0.0f));
  // At 5 units along the view the picture reaches `width` to each side (+x is right) and `height` up and down.
  const float height = 5.0f * std::tan(kFov / 2.0f), width = height * 4.0f / 3.0f;
  const auto at = [&](float depth, float across, float up = 0.0f) {
    return eye + depth * direction + glm::vec3(across, 0, 0) + up * cameraUp;
  };
  const struct {
    const char* what;
    glm::vec3 centre;
    float half;
    R expected;
  } cases[] = {
      {"the cube of edge 2 at the origin", glm::vec3(0.0f), 1.0f, R::Inside},
      {"behind the eye", eye - 3.0f * direction, 0.5f, R::Outside},
      {"beyond 40 units", at(45.0f, 0.0f), 1.0f, R::Outside},
      {"across the far plane", at(39.5f, 0.0f), 1.0f, R::Intersect},
      {"across the left edge", at(5.0f, -width), 0.5f, R::Intersect},
      {"across the right edge", at(5.0f, width), 0.5f, R::Intersect},
      {"left of the view", at(5.0f, -width - 2.0f), 0.5f, R::Outside},
      {"just inside the right edge", at(5.0f, width - 2.0f), 0.5f, R::Inside},
      {"above the top edge", at(5.0f, 0.0f, height + 2.0f), 0.5f, R::Outside},
      {"across the bottom edge", at(5.0f, 0.0f, -height), 0.5f, R::Intersect},
  };
  for (const auto& c : cases) EXPECT_EQ(classify(frustum, c.centre, c.half), c.expected) << c.what;
}

// On the origin looking down -z, with a view direction that is not unit: the near and far planes are exact in float.
TEST(Frustum, CornersOnAPlaneCountAsInsideAndCornerAMustCarryTheGreatestZ) {
  Frustum frustum;
  frustum.setFrustumShape(kFov, 1.0f, kPlayerNear, kPlayerFar);
  frustum.updateFrustum(glm::vec3(0.0f), glm::vec3(0.0f, 0.0f, -2.0f), glm::vec3(0.0f, 1.0f, 0.0f));
  const auto between = [&](float nearZ, float farZ) {
    return frustum.boxInFrustum(glm::vec3(-0.01f, -0.01f, nearZ), glm::vec3(0.01f, 0.01f, farZ));
  };
  EXPECT_EQ(between(-kPlayerNear, -kPlayerFar), R::Inside) << "nearest corner on the near plane, farthest on the far one";
  EXPECT_EQ(between(0.5f, -kPlayerNear), R::Intersect) << "only touching the near plane from behind";
  EXPECT_EQ(between(-kPlayerFar, -45.0f), R::Intersect) << "only touching the far plane from beyond";
  EXPECT_EQ(between(0.5f, -0.09f), R::Outside);
  EXPECT_EQ(between(-0.05f, -1.0f), R::Intersect) << "across the near plane";
  EXPECT_EQ(between(-1.0f, -0.05f), R::Outside) << "the same box with (min, max) corners is wrongly rejected";
}

}  // namespace
}  // namespace varn::render
