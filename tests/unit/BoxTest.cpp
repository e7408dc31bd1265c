// The inclusive box-overlap test: touching counts, corner order does not matter,
// and a gap on any one axis separates.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/Box.h"

using varn::scene::boxesOverlap;

namespace {

// Reference box x [0, 2], y [0, 2], z [-2, 0] in the (least x, least y, greatest z) convention.
const glm::vec3 kRefA(0.0f, 0.0f, 0.0f);
const glm::vec3 kRefB(2.0f, 2.0f, -2.0f);

}  // namespace

TEST(BoxesOverlap, BoxesSharingOnlyAFaceEdgeOrCornerOverlap) {
  EXPECT_TRUE(boxesOverlap(kRefA, kRefB, {2.0f, 0.5f, -0.5f}, {3.0f, 1.5f, -1.5f}));  // face at x = 2
  EXPECT_TRUE(boxesOverlap(kRefA, kRefB, {-1.0f, 2.0f, -0.5f}, {0.0f, 3.0f, -1.0f}));  // edge
  EXPECT_TRUE(boxesOverlap(kRefA, kRefB, {2.0f, 2.0f, -2.0f}, {3.0f, 3.0f, -3.0f}));  // corner
  EXPECT_TRUE(boxesOverlap(kRefA, kRefB, {0.5f, 0.5f, 1.0f}, {1.5f, 1.5f, 0.0f}));  // face at z = 0
}

TEST(BoxesOverlap, CornerOrderOfTheOtherBoxDoesNotMatter) {
  const glm::vec3 cases[][2] = {
      {{1.0f, 1.0f, -1.0f}, {3.0f, 3.0f, -3.0f}},
      {{2.5f, 0.5f, -0.5f}, {3.0f, 1.0f, -1.0f}},
      {{-1.0f, -1.0f, 1.0f}, {0.0f, 0.0f, 0.0f}},
      {{0.5f, 0.5f, 0.5f}, {1.0f, 1.0f, 0.1f}},
  };
  for (const auto& c : cases) {
    const glm::vec3 p = c[0];
    const glm::vec3 q = c[1];
    const bool forward = boxesOverlap(kRefA, kRefB, p, q);
    EXPECT_EQ(forward, boxesOverlap(kRefA, kRefB, q, p));
    // Mixed corners: the same box spanned by its other diagonal.
    EXPECT_EQ(forward, boxesOverlap(kRefA, kRefB, {p.x, q.y, p.z}, {q.x, p.y, q.z}));
  }
}

TEST(BoxesOverlap, AGapOnAnyOneAxisSeparates) {
  const float gap = 1e-4f;
  // Overlapping generously on the two other axes each time.
  EXPECT_FALSE(boxesOverlap(kRefA, kRefB, {2.0f + gap, -5.0f, 5.0f}, {4.0f, 5.0f, -5.0f}));
  EXPECT_FALSE(boxesOverlap(kRefA, kRefB, {-4.0f, -5.0f, 5.0f}, {-gap, 5.0f, -5.0f}));
  EXPECT_FALSE(boxesOverlap(kRefA, kRefB, {-5.0f, 2.0f + gap, 5.0f}, {5.0f, 4.0f, -5.0f}));
  EXPECT_FALSE(boxesOverlap(kRefA, kRefB, {-5.0f, -4.0f, 5.0f}, {5.0f, -gap, -5.0f}));
  EXPECT_FALSE(boxesOverlap(kRefA, kRefB, {-5.0f, -5.0f, 3.0f}, {5.0f, 5.0f, gap}));
  EXPECT_FALSE(boxesOverlap(kRefA, kRefB, {-5.0f, -5.0f, -2.0f - gap}, {5.0f, 5.0f, -4.0f}));
  // The smallest float step past the face is already a gap.
  const float justPast = std::nextafter(2.0f, 3.0f);
  EXPECT_FALSE(boxesOverlap(kRefA, kRefB, {justPast, 0.5f, -0.5f}, {3.0f, 1.5f, -1.5f}));
}

TEST(BoxesOverlap, ZeroThicknessReferenceMeetsOnlyBoxesSpanningItsPlane) {
  // The destruction button's face: x [42.4, 43.8], y [7.1, 8.9], all at z = -36.5.
  const glm::vec3 buttonA(42.4f, 7.1f, -36.5f);
  const glm::vec3 buttonB(43.8f, 8.9f, -36.5f);
  EXPECT_TRUE(boxesOverlap(buttonA, buttonB, {43.0f, 7.9f, -36.4f}, {43.2f, 8.1f, -36.6f}));
  EXPECT_TRUE(boxesOverlap(buttonA, buttonB, {43.0f, 7.9f, -36.5f}, {43.2f, 8.1f, -36.7f}));
  EXPECT_FALSE(boxesOverlap(buttonA, buttonB, {43.0f, 7.9f, -36.2f}, {43.2f, 8.1f, -36.49f}));
  EXPECT_FALSE(boxesOverlap(buttonA, buttonB, {43.0f, 7.9f, -36.51f}, {43.2f, 8.1f, -36.8f}));
  // In the plane but beside the button.
  EXPECT_FALSE(boxesOverlap(buttonA, buttonB, {44.0f, 7.9f, -36.4f}, {44.2f, 8.1f, -36.6f}));
  EXPECT_FALSE(boxesOverlap(buttonA, buttonB, {43.0f, 9.0f, -36.4f}, {43.2f, 9.2f, -36.6f}));
}

TEST(TransformPoint, AppliesTranslationAndScaleAsAPoint) {
  glm::mat4 m(2.0f);
  m[3] = glm::vec4(1.0f, -1.0f, 3.0f, 1.0f);
  const glm::vec3 moved = varn::scene::transformPoint(m, {1.0f, 2.0f, -1.0f});
  EXPECT_FLOAT_EQ(moved.x, 3.0f);
  EXPECT_FLOAT_EQ(moved.y, 3.0f);
  EXPECT_FLOAT_EQ(moved.z, 1.0f);
}
