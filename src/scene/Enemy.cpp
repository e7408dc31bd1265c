// An enemy robot: chases the player's robot's centre in three dimensions, through
// walls, once it is within range, and carries its spinning saw along.
#include "scene/Enemy.h"

#include <glm/gtc/matrix_transform.hpp>

#include "scene/Box.h"
#include "scene/Character.h"

namespace varn::scene {

Enemy::Enemy(const assets::Model& bodyModel, const assets::Model& sawModel, const glm::mat4& placement)
    : SceneObject(placement),
      model(bodyModel),
      localCornerB(bodyModel.cornerB),
      localCornerA(bodyModel.cornerA),
      worldCornerB(transformPoint(placement, bodyModel.cornerB)),
      worldCornerA(transformPoint(placement, bodyModel.cornerA)),
      saw(sawModel) {}

void Enemy::update(double deltaTime) {
  if (hitPoints <= 0) return;

  // Float products with the speed first, then the frame time in double.
  const glm::vec3 step(static_cast<float>(static_cast<double>(direction.x * speed) * deltaTime),
                       static_cast<float>(static_cast<double>(direction.y * speed) * deltaTime),
                       static_cast<float>(static_cast<double>(direction.z * speed) * deltaTime));
  // Applied after the placement, so the step is in world axes and the body never turns.
  modelMatrix = glm::translate(glm::mat4(1.0f), step) * modelMatrix;
  saw.animate(deltaTime, modelMatrix);
  worldCornerA = transformPoint(modelMatrix, localCornerA);
  worldCornerB = transformPoint(modelMatrix, localCornerB);
}

void Enemy::chase(const Character& character, const Map& /*map: enemies walk through the level*/) {
  const glm::vec3 robotCentre = (character.worldCornerA + character.worldCornerB) * 0.5f;
  const glm::vec3 centre = (worldCornerA + worldCornerB) * 0.5f;
  const glm::vec3 d = robotCentre - centre;
  const float distance = glm::length(d);
  // Inclusive range; with the centres on top of each other there is no way to go.
  if (distance <= detectionRange && distance > 0.0f) {
    direction = d / distance;
  } else {
    direction = glm::vec3(0.0f);
  }
}

bool Enemy::reaches(const Character& character) const {
  return boxesOverlap(character.worldCornerA, character.worldCornerB, worldCornerA, worldCornerB);
}

}  // namespace varn::scene
