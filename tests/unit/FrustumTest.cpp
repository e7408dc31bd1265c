// View-frustum culling: plane construction from the camera frame and the box test
// with the game's reversed-z corner convention.
#include <gtest/gtest.h>

#include <cmath>

#include "render/Frustum.h"

namespace varn::render {
namespace {

using R = FrustumResult;

// A box around a centre in the game's convention: cornerA (min x, min y, max z), cornerB (max x, max y, min z).
struct Box {
  glm::vec3 a, b;
};
Box boxAround(glm::vec3 centre, float half) {
  return {centre + glm::vec3(-half, -half, half), centre + glm::vec3(half, half, -half)};
}

// The player camera at start-up: 5 up, 3 behind the robot, looking at the origin.
class StartupFrustum : public ::testing::Test {
 protected:
  void SetUp() override {
    frustum.setFrustumShape(1.0471976f, 4.0f / 3.0f, 0.1f, 40.0f);
    frustum.updateFrustum(eye, direction, glm::vec3(0.0f, 1.0f, 0.0f));
  }
  R classify(const Box& box) const { return frustum.boxInFrustum(box.a, box.b); }
  // A point `depth` units along the view, `across` units along the camera's right axis (+x here).
  glm::vec3 inView(float depth, float across) const { return eye + depth * direction + glm::vec3(across, 0, 0); }
  float halfWidthAt(float depth) const { return depth * std::tan(1.0471976f / 2.0f) * 4.0f / 3.0f; }

  Frustum frustum;
  const glm::vec3 eye{0.0f, 5.0f, 3.0f};
  const glm::vec3 direction = glm::normalize(glm::vec3(0.0f, -5.0f, -3.0f));
};

TEST_F(StartupFrustum, ShapeFollowsTheHalfAngle) {
  const float tan30 = 1.0f / std::sqrt(3.0f);
  EXPECT_NEAR(frustum.tanHalf, tan30, 1e-6f);
  EXPECT_NEAR(frustum.nearHeight, 0.1f * tan30, 1e-7f);
  EXPECT_NEAR(frustum.nearWidth, 0.1f * tan30 * 4.0f / 3.0f, 1e-7f);
  EXPECT_NEAR(frustum.farHeight, 40.0f * tan30, 1e-4f);
  EXPECT_NEAR(frustum.farWidth, 40.0f * tan30 * 4.0f / 3.0f, 1e-4f);
}

TEST_F(StartupFrustum, PlanesAreUnitAndFaceIntoTheView) {
  const glm::vec3 centre = inView(5.0f, 0.0f);
  for (int i = 0; i < 6; ++i) {
    const FrustumPlane& plane = frustum.planes[i];
    EXPECT_NEAR(glm::length(plane.normal), 1.0f, 1e-5f) << "plane " << i;
    EXPECT_GT(glm::dot(plane.normal, centre - plane.point), 0.0f) << "plane " << i;
  }
  // Fixed order: top, bottom, left, right, near, far.
  // Each side normal leans from the view direction by the half angle towards its edge.
  const glm::vec3 cameraUp(0.0f, 0.514496f, -0.857493f);
  const float cosVertical = std::cos(1.0471976f / 2.0f);
  const float cosHorizontal = std::cos(std::atan(std::tan(1.0471976f / 2.0f) * 4.0f / 3.0f));
  EXPECT_NEAR(glm::dot(frustum.planes[Frustum::Top].normal, -cameraUp), cosVertical, 1e-4f);
  EXPECT_NEAR(glm::dot(frustum.planes[Frustum::Bottom].normal, cameraUp), cosVertical, 1e-4f);
  EXPECT_NEAR(frustum.planes[Frustum::Left].normal.x, cosHorizontal, 1e-4f);
  EXPECT_NEAR(frustum.planes[Frustum::Right].normal.x, -cosHorizontal, 1e-4f);
  EXPECT_NEAR(glm::dot(frustum.planes[Frustum::Near].normal, direction), 1.0f, 1e-6f);
  EXPECT_NEAR(glm::dot(frustum.planes[Frustum::Far].normal, direction), -1.0f, 1e-6f);
  EXPECT_NEAR(glm::distance(frustum.planes[Frustum::Far].point, eye), 40.0f, 1e-4f);
}

TEST_F(StartupFrustum, CubeAtTheOriginIsInside) {
  EXPECT_EQ(frustum.boxInFrustum(glm::vec3(-1, -1, 1), glm::vec3(1, 1, -1)), R::Inside);
}

TEST_F(StartupFrustum, BoxBehindTheEyeIsOutside) {
  EXPECT_EQ(classify(boxAround(eye - 3.0f * direction, 0.5f)), R::Outside);
}

TEST_F(StartupFrustum, BoxBeyondTheFarPlaneIsOutside) {
  EXPECT_EQ(classify(boxAround(inView(45.0f, 0.0f), 1.0f)), R::Outside);
  EXPECT_EQ(classify(boxAround(inView(39.5f, 0.0f), 1.0f)), R::Intersect);  // across the far plane
}

TEST_F(StartupFrustum, SideEdgesCutOrRejectBoxes) {
  const float edge = halfWidthAt(5.0f);
  EXPECT_EQ(classify(boxAround(inView(5.0f, -edge), 0.5f)), R::Intersect);
  EXPECT_EQ(classify(boxAround(inView(5.0f, edge), 0.5f)), R::Intersect);
  EXPECT_EQ(classify(boxAround(inView(5.0f, -edge - 2.0f), 0.5f)), R::Outside);
  EXPECT_EQ(classify(boxAround(inView(5.0f, edge - 2.0f), 0.5f)), R::Inside);
}

// A camera on the origin looking down -z makes the near and far planes exact in float.
class AxisFrustum : public ::testing::Test {
 protected:
  void SetUp() override {
    frustum.setFrustumShape(1.0471976f, 1.0f, 0.1f, 40.0f);
    frustum.updateFrustum(glm::vec3(0.0f), glm::vec3(0.0f, 0.0f, -2.0f), glm::vec3(0.0f, 1.0f, 0.0f));
  }
  Frustum frustum;
};

TEST_F(AxisFrustum, ViewDirectionNeedNotBeUnit) {
  EXPECT_EQ(frustum.planes[Frustum::Near].point, glm::vec3(0.0f, 0.0f, -0.1f));
  EXPECT_EQ(frustum.planes[Frustum::Far].point, glm::vec3(0.0f, 0.0f, -40.0f));
}

TEST_F(AxisFrustum, CornerExactlyOnAPlaneCountsAsInside) {
  // Nearest corner on the near plane, farthest on the far plane: wholly inside.
  EXPECT_EQ(frustum.boxInFrustum(glm::vec3(-0.01f, -0.01f, -0.1f), glm::vec3(0.01f, 0.01f, -40.0f)), R::Inside);
  // Only the farthest corner touches the near plane from behind: not outside, but cut.
  EXPECT_EQ(frustum.boxInFrustum(glm::vec3(-0.01f, -0.01f, 0.5f), glm::vec3(0.01f, 0.01f, -0.1f)), R::Intersect);
  // Only the nearest corner touches the far plane from beyond.
  EXPECT_EQ(frustum.boxInFrustum(glm::vec3(-0.01f, -0.01f, -40.0f), glm::vec3(0.01f, 0.01f, -45.0f)), R::Intersect);
}

TEST_F(AxisFrustum, BoxJustPastAPlaneIsOutside) {
  EXPECT_EQ(frustum.boxInFrustum(glm::vec3(-0.01f, -0.01f, 0.5f), glm::vec3(0.01f, 0.01f, -0.09f)), R::Outside);
  EXPECT_EQ(frustum.boxInFrustum(glm::vec3(-0.01f, -0.01f, -40.5f), glm::vec3(0.01f, 0.01f, -45.0f)), R::Outside);
}

TEST_F(AxisFrustum, CornersMustCarryTheGreatestZInCornerA) {
  // A box across the near plane, from z = -0.05 to z = -1.
  EXPECT_EQ(frustum.boxInFrustum(glm::vec3(-0.01f, -0.01f, -0.05f), glm::vec3(0.01f, 0.01f, -1.0f)), R::Intersect);
  // Given as ordinary (min, max) corners it is wrongly rejected by the near plane.
  EXPECT_EQ(frustum.boxInFrustum(glm::vec3(-0.01f, -0.01f, -1.0f), glm::vec3(0.01f, 0.01f, -0.05f)), R::Outside);
}

TEST_F(AxisFrustum, RejectionByAnyOnePlaneWins) {
  // Inside every plane but the top one.
  EXPECT_EQ(frustum.boxInFrustum(glm::vec3(-0.5f, 20.0f, -10.0f), glm::vec3(0.5f, 21.0f, -11.0f)), R::Outside);
  // A box enclosing the whole view volume cuts every plane.
  EXPECT_EQ(frustum.boxInFrustum(glm::vec3(-100.0f, -100.0f, 100.0f), glm::vec3(100.0f, 100.0f, -100.0f)),
            R::Intersect);
}

}  // namespace
}  // namespace varn::render
