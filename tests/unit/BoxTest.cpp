// The inclusive box-overlap test: touching counts, corner order does not matter,
// and a gap on any one axis separates.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/Box.h"

using varn::scene::boxesOverlap;

namespace {

// Every case is tried with the other box's corners given in both orders and by its other diagonal.
void expectOverlap(const glm::vec3& refA, const glm::vec3& refB, const glm::vec3& p, const glm::vec3& q, bool expected,
                   const char* what) {
  EXPECT_EQ(boxesOverlap(refA, refB, p, q), expected) << what;
  EXPECT_EQ(boxesOverlap(refA, refB, q, p), expected) << what << ", corners swapped";
  EXPECT_EQ(boxesOverlap(refA, refB, {p.x, q.y, p.z}, {q.x, p.y, q.z}), expected) << what << ", other diagonal";
}

TEST(BoxesOverlap, TouchingOverlapsAndAGapOnAnyOneAxisSeparates) {
  // Reference box x [0, 2], y [0, 2], z [-2, 0] in the (least x, least y, greatest z) convention.
  const glm::vec3 a(0.0f, 0.0f, 0.0f), b(2.0f, 2.0f, -2.0f);
  const float gap = 1e-4f;
  struct Case {
    const char* what;
    glm::vec3 p, q;
    bool overlaps;
  };
  const Case cases[] = {
      {"inside", {0.5f, 0.5f, -0.5f}, {1.0f, 1.0f, -0.1f}, true},
      {"shared face at x = 2", {2.0f, 0.5f, -0.5f}, {3.0f, 1.5f, -1.5f}, true},
      {"shared face at z = 0", {0.5f, 0.5f, 1.0f}, {1.5f, 1.5f, 0.0f}, true},
      {"shared edge", {-1.0f, 2.0f, -0.5f}, {0.0f, 3.0f, -1.0f}, true},
      {"shared corner", {2.0f, 2.0f, -2.0f}, {3.0f, 3.0f, -3.0f}, true},
      {"one float past x = 2", {std::nextafter(2.0f, 3.0f), 0.5f, -0.5f}, {3.0f, 1.5f, -1.5f}, false},
      {"gap beyond x", {2.0f + gap, -5.0f, 5.0f}, {4.0f, 5.0f, -5.0f}, false},
      {"gap before x", {-4.0f, -5.0f, 5.0f}, {-gap, 5.0f, -5.0f}, false},
      {"gap above", {-5.0f, 2.0f + gap, 5.0f}, {5.0f, 4.0f, -5.0f}, false},
      {"gap below", {-5.0f, -4.0f, 5.0f}, {5.0f, -gap, -5.0f}, false},
      {"gap in front", {-5.0f, -5.0f, 3.0f}, {5.0f, 5.0f, gap}, false},
      {"gap behind", {-5.0f, -5.0f, -2.0f - gap}, {5.0f, 5.0f, -4.0f}, false},
  };
  for (const Case& c : cases) expectOverlap(a, b, c.p, c.q, c.overlaps, c.what);
}

TEST(BoxesOverlap, ZeroThicknessReferenceMeetsOnlyBoxesReachingItsPlane) {
  // The destruction button's face: x [42.4, 43.8], y [7.1, 8.9], all at z = -36.5.
  const glm::vec3 a(42.4f, 7.1f, -36.5f), b(43.8f, 8.9f, -36.5f);
  expectOverlap(a, b, {43.0f, 7.9f, -36.4f}, {43.2f, 8.1f, -36.6f}, true, "across the plane");
  expectOverlap(a, b, {43.0f, 7.9f, -36.5f}, {43.2f, 8.1f, -36.7f}, true, "touching the plane");
  expectOverlap(a, b, {43.0f, 7.9f, -36.2f}, {43.2f, 8.1f, -36.49f}, false, "in front of it");
  expectOverlap(a, b, {44.0f, 7.9f, -36.4f}, {44.2f, 8.1f, -36.6f}, false, "across the plane, beside the face");
}

}  // namespace
