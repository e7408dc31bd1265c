// An enemy robot: walks straight at the player's robot once it is in range,
// through walls, and takes two hits to destroy.
#pragma once

#include "assets/Model.h"
#include "scene/EnemySaw.h"
#include "scene/SceneObject.h"

namespace varn::scene {

class Character;
class Map;

class Enemy : public SceneObject {
 public:
  Enemy() = default;
  Enemy(const assets::Model& bodyModel, const assets::Model& sawModel, const glm::mat4& placement);

  // Walks one step along direction and drives the saw.
  void update(double deltaTime) override;
  void draw(int32_t, int32_t) override {}
  // Points direction at the robot's centre within detectionRange; the map is not consulted.
  virtual void chase(const Character& character, const Map& map);
  virtual void jump() {}
  // True when this enemy's box touches the robot's.
  bool reaches(const Character& character) const;

  assets::Model model;
  glm::vec3 localCornerB{0.0f};
  glm::vec3 localCornerA{0.0f};
  glm::vec3 worldCornerB{0.0f};
  glm::vec3 worldCornerA{0.0f};
  EnemySaw saw;
  float detectionRange = 15.0f;  // units
  float speed = 1.0f;            // units per second
  int32_t hitPoints = 2;
  glm::vec3 direction{0.0f};  // unit vector towards the robot, zero while out of range
};

}  // namespace varn::scene
