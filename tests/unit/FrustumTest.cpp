// View-frustum culling: plane construction from the camera frame and the box test
// with the game's reversed-z corner convention.
#include <gtest/gtest.h>

#include <cmath>

#include "render/Frustum.h"

namespace varn::render {
namespace {

using R = FrustumResult;
constexpr float kFov = 1.0471976f;

// A box around a centre in the game's convention: cornerA (min x, min y, max z), cornerB (max x, max y, min z).
R classify(const Frustum& frustum, glm::vec3 centre, float half) {
  return frustum.boxInFrustum(centre + glm::vec3(-half, -half, half), centre + glm::vec3(half, half, -half));
}

// The player camera at start-up: 5 up, 3 behind the robot, looking at the origin.
class StartupFrustum : public ::testing::Test {
 protected:
  void SetUp() override {
    frustum.setFrustumShape(kFov, 4.0f / 3.0f, 0.1f, 40.0f);
    frustum.updateFrustum(eye, direction, glm::vec3(0.0f, 1.0f, 0.0f));
  }
  // A point `depth` units along the view, `across` units along the camera's right axis (+x here).
  glm::vec3 inView(float depth, float across) const { return eye + depth * direction + glm::vec3(across, 0, 0); }

  Frustum frustum;
  const glm::vec3 eye{0.0f, 5.0f, 3.0f};
  const glm::vec3 direction = glm::normalize(glm::vec3(0.0f, -5.0f, -3.0f));
};

TEST_F(StartupFrustum, PlanesComeInTheirFixedOrderAndFaceIntoTheView) {
  for (int i = 0; i < 6; ++i) {
    EXPECT_NEAR(glm::length(frustum.planes[i].normal), 1.0f, 1e-5f) << "plane " << i;
    EXPECT_GT(glm::dot(frustum.planes[i].normal, inView(5.0f, 0.0f) - frustum.planes[i].point), 0.0f) << "plane " << i;
  }
  // Top, bottom, left, right, near, far: each side leans from the view by the half angle towards its edge.
  const glm::vec3 cameraUp = glm::normalize(glm::cross(glm::cross(direction, glm::vec3(0, 1, 0)), direction));
  const float cosVertical = std::cos(kFov / 2.0f);
  const float cosHorizontal = std::cos(std::atan(std::tan(kFov / 2.0f) * 4.0f / 3.0f));
  EXPECT_NEAR(glm::dot(frustum.planes[Frustum::Top].normal, -cameraUp), cosVertical, 1e-4f);
  EXPECT_NEAR(glm::dot(frustum.planes[Frustum::Bottom].normal, cameraUp), cosVertical, 1e-4f);
  EXPECT_NEAR(frustum.planes[Frustum::Left].normal.x, cosHorizontal, 1e-4f);
  EXPECT_NEAR(frustum.planes[Frustum::Right].normal.x, -cosHorizontal, 1e-4f);
  EXPECT_NEAR(glm::dot(frustum.planes[Frustum::Near].normal, direction), 1.0f, 1e-6f);
  EXPECT_NEAR(glm::dot(frustum.planes[Frustum::Far].normal, direction), -1.0f, 1e-6f);
  EXPECT_NEAR(glm::distance(frustum.planes[Frustum::Far].point, eye), 40.0f, 1e-4f);
}

TEST_F(StartupFrustum, ClassifiesBoxesAroundTheView) {
  const float edge = 5.0f * std::tan(kFov / 2.0f) * 4.0f / 3.0f;  // half width at 5 units
  EXPECT_EQ(frustum.boxInFrustum(glm::vec3(-1, -1, 1), glm::vec3(1, 1, -1)), R::Inside) << "the cube at the origin";
  EXPECT_EQ(classify(frustum, eye - 3.0f * direction, 0.5f), R::Outside) << "behind the eye";
  EXPECT_EQ(classify(frustum, inView(45.0f, 0.0f), 1.0f), R::Outside) << "beyond 40 units";
  EXPECT_EQ(classify(frustum, inView(39.5f, 0.0f), 1.0f), R::Intersect) << "across the far plane";
  EXPECT_EQ(classify(frustum, inView(5.0f, -edge), 0.5f), R::Intersect) << "across the left edge";
  EXPECT_EQ(classify(frustum, inView(5.0f, edge), 0.5f), R::Intersect) << "across the right edge";
  EXPECT_EQ(classify(frustum, inView(5.0f, -edge - 2.0f), 0.5f), R::Outside) << "left of the view";
  EXPECT_EQ(classify(frustum, inView(5.0f, edge - 2.0f), 0.5f), R::Inside) << "just inside the right edge";
}

// A camera on the origin looking down -z, with a view direction that is not unit, makes
// the near and far planes exact in float.
TEST(AxisFrustum, CornersOnAPlaneCountAsInsideAndCornerAMustCarryTheGreatestZ) {
  Frustum frustum;
  frustum.setFrustumShape(kFov, 1.0f, 0.1f, 40.0f);
  frustum.updateFrustum(glm::vec3(0.0f), glm::vec3(0.0f, 0.0f, -2.0f), glm::vec3(0.0f, 1.0f, 0.0f));
  EXPECT_EQ(frustum.planes[Frustum::Near].point, glm::vec3(0.0f, 0.0f, -0.1f));
  EXPECT_EQ(frustum.planes[Frustum::Far].point, glm::vec3(0.0f, 0.0f, -40.0f));
  const auto between = [&](float nearZ, float farZ) {
    return frustum.boxInFrustum(glm::vec3(-0.01f, -0.01f, nearZ), glm::vec3(0.01f, 0.01f, farZ));
  };
  EXPECT_EQ(between(-0.1f, -40.0f), R::Inside) << "nearest corner on the near plane, farthest on the far one";
  EXPECT_EQ(between(0.5f, -0.1f), R::Intersect) << "only touching the near plane from behind";
  EXPECT_EQ(between(-40.0f, -45.0f), R::Intersect) << "only touching the far plane from beyond";
  EXPECT_EQ(between(0.5f, -0.09f), R::Outside);
  EXPECT_EQ(between(-40.5f, -45.0f), R::Outside);
  EXPECT_EQ(between(-0.05f, -1.0f), R::Intersect) << "across the near plane";
  EXPECT_EQ(between(-1.0f, -0.05f), R::Outside) << "the same box with (min, max) corners is wrongly rejected";
  // Inside every plane but the top one; and a box around the whole view volume cuts every plane.
  EXPECT_EQ(frustum.boxInFrustum(glm::vec3(-0.5f, 20.0f, -10.0f), glm::vec3(0.5f, 21.0f, -11.0f)), R::Outside);
  EXPECT_EQ(frustum.boxInFrustum(glm::vec3(-100.0f, -100.0f, 100.0f), glm::vec3(100.0f, 100.0f, -100.0f)),
            R::Intersect);
}

}  // namespace
}  // namespace varn::render
