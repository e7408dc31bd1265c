// Where a world point lands in the window: through the view and projection to the pixel,
// counted from the window's top left corner.
#pragma once

#include <glm/glm.hpp>

namespace varn::test {

// A point behind the camera has no pixel; it is given the top left corner.
inline glm::vec2 windowPixel(glm::vec3 world, const glm::mat4& view, const glm::mat4& projection, int width,
                             int height) {
  const glm::vec4 clip = projection * view * glm::vec4(world, 1.0f);
  if (clip.w <= 0.0f) return glm::vec2(0.0f);
  return {(clip.x / clip.w + 1.0f) * 0.5f * static_cast<float>(width),
          (1.0f - clip.y / clip.w) * 0.5f * static_cast<float>(height)};
}

}  // namespace varn::test
