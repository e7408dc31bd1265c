// A bullet: flies straight in world axes and answers whether it touches the level,
// an enemy or the destruction button. Removal is the game rules' business.
#include "scene/Bullet.h"

#include <glm/gtc/matrix_transform.hpp>

#include "app/Globals.h"
#include "scene/Box.h"
#include "scene/Enemy.h"

namespace varn::scene {

namespace {

bool overlapsAny(const std::vector<CollisionBox>& boxes, const glm::vec3& p, const glm::vec3& q) {
  for (const CollisionBox& box : boxes) {
    if (boxesOverlap(box.cornerA, box.cornerB, p, q)) return true;
  }
  return false;
}

}  // namespace

Bullet::Bullet(const assets::Model& model, const glm::mat4& start, const glm::vec3& direction)
    : SceneObject(start),
      model(model),
      worldCornerA(transformPoint(start, model.cornerA)),
      worldCornerB(transformPoint(start, model.cornerB)),
      localCornerA(model.cornerA),
      localCornerB(model.cornerB),
      direction(direction) {}

void Bullet::update(double deltaTime) {
  const float s = static_cast<float>(speed);
  const glm::vec3 step(static_cast<float>(static_cast<double>(direction.x * s) * deltaTime),
                       static_cast<float>(static_cast<double>(direction.y * s) * deltaTime),
                       static_cast<float>(static_cast<double>(direction.z * s) * deltaTime));
  // Bullets start from a pure translation, so this is a step in world axes.
  modelMatrix = glm::translate(modelMatrix, step);
  worldCornerA = transformPoint(modelMatrix, localCornerA);
  worldCornerB = transformPoint(modelMatrix, localCornerB);
  // A spent bullet keeps flying until the next bullet check removes it.
  lifetime = static_cast<float>(static_cast<double>(lifetime) - deltaTime);
}

bool Bullet::hitsMap() const {
  return overlapsAny(varn::levelMap.wallBoxes, worldCornerA, worldCornerB) ||
         overlapsAny(varn::levelMap.floorBoxes, worldCornerA, worldCornerB) ||
         overlapsAny(varn::levelMap.blockBoxes, worldCornerA, worldCornerB);
}

bool Bullet::hitsEnemy(Enemy& enemy) const {
  if (!boxesOverlap(enemy.worldCornerA, enemy.worldCornerB, worldCornerA, worldCornerB)) return false;
  --enemy.hitPoints;
  return true;
}

bool Bullet::hitsButton() const {
  return boxesOverlap(varn::destructionButton.worldCornerA, varn::destructionButton.worldCornerB, worldCornerA,
                      worldCornerB);
}

}  // namespace varn::scene
