// A view matrix (kept in modelMatrix) with the vectors that say where it looks.
#pragma once

#include "scene/SceneObject.h"

namespace varn::scene {

class Camera : public SceneObject {
 public:
  Camera() = default;
  explicit Camera(const glm::mat4& view) : SceneObject(view) {}

  void update(double) override {}
  void draw(int32_t, int32_t) override {}
  // Translates the view by the step; forward/backward along view z, left/right along view x.
  virtual void move(float step, bool forward, bool backward, bool left, bool right);

  glm::vec3 position{0.0f};   // eye position given at set-up (not kept in step with the view)
  glm::vec3 direction{0.0f};  // unit viewing direction, world space
  glm::vec3 up{0.0f};         // up vector, world space
  float fieldOfView = 0.0f;   // vertical, radians
  float aspectRatio = 0.0f;   // width / height
  float nearPlane = 0.0f;
  float farPlane = 0.0f;
};

}  // namespace varn::scene
