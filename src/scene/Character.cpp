// The player's robot: gravity and walking against its own copy of the level boxes.
// Every step is taken whole or not at all, and the player camera moves with it.
#include "scene/Character.h"

#include <glm/gtc/matrix_transform.hpp>

#include "scene/Box.h"

namespace varn::scene {

namespace {

constexpr float kJumpSpeed = 5.0f;  // units per second, upward
// Aim turns about the downward axis, so a positive angle turns clockwise seen from above.
const glm::vec3 kTurnAxis(0.0f, -1.0f, 0.0f);

bool overlapsAny(const std::vector<CollisionBox>& boxes, const glm::vec3& p, const glm::vec3& q) {
  for (const CollisionBox& box : boxes) {
    if (boxesOverlap(box.cornerA, box.cornerB, p, q)) return true;
  }
  return false;
}

}  // namespace

Character::Character(const assets::Model& model, const glm::mat4& baseMatrix, const Map& map, Camera* camera)
    : SceneObject(baseMatrix),
      model(model),
      collisionMap(map),
      camera(camera),
      localCornerB(model.cornerB),
      localCornerA(model.cornerA),
      worldCornerB(transformPoint(baseMatrix, model.cornerB)),
      worldCornerA(transformPoint(baseMatrix, model.cornerA)),
      baseMatrix(baseMatrix) {}

void Character::update(double deltaTime) {
  // Speed before position: the integer gravity is widened, the product kept in double.
  verticalSpeed = static_cast<float>(static_cast<double>(verticalSpeed) - static_cast<double>(gravity) * deltaTime);
  const float dy = static_cast<float>(static_cast<double>(verticalSpeed) * deltaTime);

  const glm::vec3 rise(0.0f, dy, 0.0f);
  const glm::vec3 raisedA = worldCornerA + rise;
  const glm::vec3 raisedB = worldCornerB + rise;
  if (!collidesVertically(raisedA, raisedB)) {
    // Even the small settling steps count as flight for the rest of this frame.
    airborne = true;
    translationMatrix = translationMatrix * glm::translate(glm::mat4(1.0f), rise);
    if (camera) camera->modelMatrix = glm::translate(camera->modelMatrix, -rise);
    worldCornerA = raisedA;
    worldCornerB = raisedB;
  } else {
    // Landed on a floor or block, or bumped a ceiling: the robot stays just short of it.
    verticalSpeed = 0.0f;
    airborne = false;
  }

  // No sliding along walls: a blocked step is dropped entirely.
  const glm::vec3 movedA = worldCornerA + moveStep;
  const glm::vec3 movedB = worldCornerB + moveStep;
  if (!collidesHorizontally(movedA, movedB)) {
    translationMatrix = translationMatrix * glm::translate(glm::mat4(1.0f), moveStep);
    if (camera) camera->modelMatrix = glm::translate(camera->modelMatrix, -moveStep);
    worldCornerA = movedA;
    worldCornerB = movedB;
  }

  modelMatrix = translationMatrix * rotationMatrix * baseMatrix;
}

void Character::move(float deltaTime, bool forward, bool backward, bool left, bool right) {
  // World axes, whatever the aim: forward is -z. Backward beats forward, right beats left.
  glm::vec3 d(0.0f);
  if (forward) d.z = -1.0f;
  if (backward) d.z = 1.0f;
  if (left) d.x = -1.0f;
  if (right) d.x = 1.0f;

  if (d == glm::vec3(0.0f)) {
    moveStep = glm::vec3(0.0f);
  } else {
    // Normalised so that walking diagonally is no faster than walking straight.
    moveStep = glm::normalize(d) * deltaTime * walkSpeed;
  }
}

void Character::jump() {
  if (airborne) return;
  airborne = true;
  verticalSpeed = kJumpSpeed;
}

void Character::turn(float angle) { rotationMatrix = glm::rotate(glm::mat4(1.0f), angle, kTurnAxis); }

void Character::updateBoundingBox() {
  worldCornerB = transformPoint(modelMatrix, localCornerB);
  worldCornerA = transformPoint(modelMatrix, localCornerA);
}

bool Character::collidesVertically(const glm::vec3& p, const glm::vec3& q) const {
  return overlapsAny(collisionMap.floorBoxes, p, q) || overlapsAny(collisionMap.blockBoxes, p, q);
}

bool Character::collidesHorizontally(const glm::vec3& p, const glm::vec3& q) const {
  return overlapsAny(collisionMap.wallBoxes, p, q) || overlapsAny(collisionMap.blockBoxes, p, q);
}

}  // namespace varn::scene
