// The spinning saw of an enemy robot, authored in the body's coordinates.
#pragma once

#include "assets/Model.h"
#include "scene/SceneObject.h"

namespace varn::scene {

class EnemySaw : public SceneObject {
 public:
  EnemySaw() = default;
  explicit EnemySaw(const assets::Model& model);

  void update(double) override {}
  void draw(int32_t, int32_t) override {}
  // Adds one turn per second about the saw's x axis and follows the body matrix.
  virtual void animate(double deltaTime, glm::mat4 bodyMatrix);

  assets::Model model;
  glm::mat4 spinMatrix{1.0f};
};

}  // namespace varn::scene
