// A point light of the level; the one nearest the robot casts the shadows.
#pragma once

#include <glm/glm.hpp>

namespace varn::render {

struct Light {
  glm::vec3 position{0.0f};  // world position; also the eye of the shadow view
  glm::vec3 colour{0.0f};    // diffuse colour
};

}  // namespace varn::render
