// The inclusive box-overlap test behind every collision question of the game.
#include "scene/Box.h"

namespace varn::scene {

bool boxesOverlap(const glm::vec3& refA, const glm::vec3& refB, const glm::vec3& p, const glm::vec3& q) {
  const bool meetsX = (refA.x <= p.x || refA.x <= q.x) && (p.x <= refB.x || q.x <= refB.x);
  const bool meetsY = (refA.y <= p.y || refA.y <= q.y) && (p.y <= refB.y || q.y <= refB.y);
  // The reference box holds its greatest z in cornerA.
  const bool meetsZ = (p.z <= refA.z || q.z <= refA.z) && (refB.z <= p.z || refB.z <= q.z);
  return meetsX && meetsY && meetsZ;
}

glm::vec3 transformPoint(const glm::mat4& m, const glm::vec3& p) { return glm::vec3(m * glm::vec4(p, 1.0f)); }

}  // namespace varn::scene
