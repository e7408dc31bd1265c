// Base of everything that exists in the game world: a model matrix plus update and draw.
#pragma once

#include <cstdint>
#include <glm/glm.hpp>

namespace varn::scene {

class SceneObject {
 public:
  SceneObject() = default;
  explicit SceneObject(const glm::mat4& matrix) : modelMatrix(matrix) {}
  virtual ~SceneObject() = default;

  // Advances the object by deltaTime seconds.
  virtual void update(double deltaTime) = 0;
  // textureFilterMode: 0 nearest, otherwise linear; mipmapMode: 0 off, 1 nearest, 2 linear.
  virtual void draw(int32_t textureFilterMode, int32_t mipmapMode) = 0;

  // Model-to-world transform; a Camera keeps its view matrix here.
  glm::mat4 modelMatrix{1.0f};

 protected:
  SceneObject(const SceneObject&) = default;
  SceneObject& operator=(const SceneObject&) = default;
};

}  // namespace varn::scene
