// A unit cube with flat per-face normals in its own buffers; built at set-up, never drawn by a pass.
#pragma once

#include <GL/glew.h>

#include "scene/SceneObject.h"

namespace varn::render {
struct Shader;
}

namespace varn::scene {

class Cube : public SceneObject {
 public:
  // program must be linked and outlive the cube; its "position" and "normal" are used.
  Cube(const glm::mat4& modelMatrix, render::Shader* program);
  ~Cube() override;
  Cube(const Cube&) = delete;
  Cube& operator=(const Cube&) = delete;

  void update(double deltaTime) override;
  void draw(int32_t textureFilterMode, int32_t mipmapMode) override;
  virtual void move(float distance, bool forward, bool backward, bool left, bool right);
  virtual void jump();
  virtual void turn(float angle);

  GLuint vertexArray = 0;
  GLuint positionBuffer = 0;
  GLuint normalBuffer = 0;
  GLuint indexBuffer = 0;
  render::Shader* program = nullptr;
  bool jumping = false;
  float launchSpeed = 0.0f;    // units per second
  float verticalSpeed = 0.0f;  // units per second
};

}  // namespace varn::scene
