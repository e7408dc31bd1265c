// The inclusive box-overlap test: touching counts, corner order does not matter,
// and a gap on any one axis separates.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/Box.h"

namespace {

TEST(BoxesOverlap, TouchingOverlapsInAnyCornerOrderAndAGapOnAnyOneAxisSeparates) {
  // Reference box x [0, 2], y [0, 2], z [-2, 0] in the (least x, least y, greatest z) convention.
  const glm::vec3 a(0.0f, 0.0f, 0.0f), b(2.0f, 2.0f, -2.0f);
  const float gap = 1e-4f;
  struct Case {
    const char* what;
    glm::vec3 p, q;
    bool overlaps;
  };
  const Case cases[] = {
      {"shared face at x = 2", {2.0f, 0.5f, -0.5f}, {3.0f, 1.5f, -1.5f}, true},
      {"shared face at z = 0", {0.5f, 0.5f, 1.0f}, {1.5f, 1.5f, 0.0f}, true},
      {"shared corner", {2.0f, 2.0f, -2.0f}, {3.0f, 3.0f, -3.0f}, true},
      {"zero thickness, across", {0.5f, 1.0f, -0.5f}, {1.5f, 1.0f, -1.5f}, true},
      {"zero thickness, on the face y = 2", {0.5f, 2.0f, -0.5f}, {1.5f, 2.0f, -1.5f}, true},
      {"zero thickness, just above", {0.5f, 2.0f + gap, -0.5f}, {1.5f, 2.0f + gap, -1.5f}, false},
      {"one float past x = 2", {std::nextafter(2.0f, 3.0f), 0.5f, -0.5f}, {3.0f, 1.5f, -1.5f}, false},
      {"gap below", {-5.0f, -4.0f, 5.0f}, {5.0f, -gap, -5.0f}, false},
      {"gap behind", {-5.0f, -5.0f, -2.0f - gap}, {5.0f, 5.0f, -4.0f}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const glm::vec3& p = c.p;
    const glm::vec3& q = c.q;
    EXPECT_EQ(varn::scene::boxesOverlap(a, b, p, q), c.overlaps);
    EXPECT_EQ(varn::scene::boxesOverlap(a, b, q, p), c.overlaps) << "corners swapped";
    EXPECT_EQ(varn::scene::boxesOverlap(a, b, {p.x, q.y, p.z}, {q.x, p.y, q.z}), c.overlaps) << "other diagonal";
  }
  // A zero-thickness reference (the destruction button's face at z = -36.5) meets only boxes reaching its plane.
  const glm::vec3 faceA(42.4f, 7.1f, -36.5f), faceB(43.8f, 8.9f, -36.5f);
  EXPECT_TRUE(varn::scene::boxesOverlap(faceA, faceB, {43.0f, 7.9f, -36.5f}, {43.2f, 8.1f, -36.7f}));
  EXPECT_FALSE(varn::scene::boxesOverlap(faceA, faceB, {43.0f, 7.9f, -36.2f}, {43.2f, 8.1f, -36.49f}));
}

}  // namespace
