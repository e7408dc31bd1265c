// The destruction button: a model drawn in the level and a box fixed in world space.
#pragma once

#include "assets/Model.h"
#include "scene/SceneObject.h"

namespace varn::scene {

class Button : public SceneObject {
 public:
  Button() = default;
  Button(const assets::Model& model, const glm::mat4& matrix);

  void update(double) override {}
  void draw(int32_t textureFilterMode, int32_t mipmapMode) override;

  assets::Model model;
  // The face of the button on the last room's wall, zero thickness at z = -36.5.
  glm::vec3 worldCornerB{0.0f};
  glm::vec3 worldCornerA{0.0f};
};

}  // namespace varn::scene
