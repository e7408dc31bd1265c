// The level: one model whose meshes are floors, walls and solid blocks, and the
// world-space collision boxes derived from them once.
#pragma once

#include <vector>

#include "assets/Model.h"
#include "scene/Box.h"
#include "scene/SceneObject.h"

namespace varn::scene {

class Map : public SceneObject {
 public:
  Map() = default;
  Map(const assets::Model& model, const glm::mat4& placement);

  void update(double) override {}
  void draw(int32_t textureFilterMode, int32_t mipmapMode) override;

  // Sorts every mesh of model into floors (flat, first normal exactly along y),
  // walls (other flat pieces of at most 6 vertices) and blocks (everything else).
  void buildCollisionBoxes();

  assets::Model model;
  std::vector<CollisionBox> floorBoxes;  // block vertical movement only
  std::vector<CollisionBox> wallBoxes;   // block horizontal movement only
  std::vector<CollisionBox> blockBoxes;  // block movement in all directions
};

}  // namespace varn::scene
