// Perspective projections whose half-angle tangent is taken in double precision,
// so the game's matrices carry the exact entries its tests and shaders expect.
#pragma once

#include <glm/glm.hpp>

namespace varn::render {

// Right-handed perspective onto clip space [-1, 1] in z; fovy in radians, aspect = width / height.
glm::mat4 perspectiveMatrix(float fovy, float aspect, float nearDistance, float farDistance);

}  // namespace varn::render
