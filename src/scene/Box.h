// Axis-aligned boxes and the game's one collision test.
//
// A box is two corners: cornerA = (least x, least y, greatest z) and
// cornerB = (greatest x, greatest y, least z). The reversed z matches the model
// loader and the frustum test.
#pragma once

#include <glm/glm.hpp>

namespace varn::scene {

struct CollisionBox {
  glm::vec3 cornerA{0.0f};
  glm::vec3 cornerB{0.0f};
};

// True when the reference box (refA, refB in the convention above) meets the box
// spanned by p and q (any two opposite corners, either order). Inclusive on every
// axis: boxes that only touch overlap.
bool boxesOverlap(const glm::vec3& refA, const glm::vec3& refB, const glm::vec3& p, const glm::vec3& q);

// The point p (w = 1) moved by matrix m.
glm::vec3 transformPoint(const glm::mat4& m, const glm::vec3& p);

}  // namespace varn::scene
