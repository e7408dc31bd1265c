// One shot: flies straight at 10 units per second for 4 seconds.
#pragma once

#include "assets/Model.h"
#include "scene/SceneObject.h"

namespace varn::scene {

class Enemy;

class Bullet : public SceneObject {
 public:
  Bullet(const assets::Model& model, const glm::mat4& start, const glm::vec3& direction);

  void update(double deltaTime) override;
  void draw(int32_t, int32_t) override {}

  // Against the walls, floors and blocks of the global levelMap.
  bool hitsMap() const;
  // On a hit, the enemy loses one hit point before this returns true.
  bool hitsEnemy(Enemy& enemy) const;
  // Against the fixed box of the global destructionButton.
  bool hitsButton() const;

  assets::Model model;
  glm::vec3 worldCornerA{0.0f};
  glm::vec3 worldCornerB{0.0f};
  glm::vec3 localCornerA{0.0f};
  glm::vec3 localCornerB{0.0f};
  glm::vec3 direction{0.0f};
  int32_t speed = 10;     // units per second
  float lifetime = 4.0f;  // seconds of flight left
};

}  // namespace varn::scene
