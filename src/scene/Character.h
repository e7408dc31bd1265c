// The player's robot: walks along world axes, jumps, falls, is stopped by the
// level's boxes and carries the player camera with every accepted step.
#pragma once

#include "assets/Model.h"
#include "scene/Camera.h"
#include "scene/Map.h"
#include "scene/SceneObject.h"

namespace varn::scene {

class Character : public SceneObject {
 public:
  Character() = default;
  Character(const assets::Model& model, const glm::mat4& baseMatrix, const Map& map, Camera* camera);

  // Gravity, then the vertical step, then the horizontal step, then the model matrix.
  void update(double deltaTime) override;
  void draw(int32_t, int32_t) override {}
  // Sets moveStep from the held direction keys (world axes: forward is -z).
  virtual void move(float deltaTime, bool forward, bool backward, bool left, bool right);
  // Starts a jump at 5 units per second unless already airborne.
  virtual void jump();
  // The aim rotation about (0, -1, 0), shown from the next update.
  virtual void turn(float angle);

  void updateBoundingBox();
  bool collidesVertically(const glm::vec3& p, const glm::vec3& q) const;
  bool collidesHorizontally(const glm::vec3& p, const glm::vec3& q) const;

  assets::Model model;
  Map collisionMap;
  Camera* camera = nullptr;  // not owned
  glm::vec3 localCornerB{0.0f};
  glm::vec3 localCornerA{0.0f};
  glm::vec3 worldCornerB{0.0f};
  glm::vec3 worldCornerA{0.0f};  // the robot's lowest point is its y
  glm::mat4 baseMatrix{1.0f};
  glm::mat4 rotationMatrix{1.0f};
  glm::mat4 translationMatrix{1.0f};
  int32_t gravity = 10;  // units per second squared
  bool airborne = false;
  float verticalSpeed = 0.0f;  // units per second, upward positive
  float walkSpeed = 3.5f;      // units per second
  glm::vec3 moveStep{0.0f};    // horizontal displacement the next update tries
};

}  // namespace varn::scene
