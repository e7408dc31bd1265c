// Where the player camera starts and the shape of what it sees: the render set-up builds the
// camera, the projection and the frustum from these, and the particle step its own projection.
#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace varn::render {

inline constexpr glm::vec3 kPlayerEye{0.0f, 5.0f, 3.0f};  // world units: above and behind the robot's start
inline constexpr glm::vec3 kPlayerTarget{0.0f};           // the robot's start, looked at from the eye
inline constexpr glm::vec3 kWorldUp{0.0f, 1.0f, 0.0f};
inline constexpr float kPlayerFieldOfView = 1.0471976f;  // 60 degrees vertical, radians
inline constexpr float kPlayerNear = 0.1f;               // world units
inline constexpr float kPlayerFar = 40.0f;               // world units

// The player camera's view matrix at start-up.
inline glm::mat4 playerStartView() { return glm::lookAt(kPlayerEye, kPlayerTarget, kWorldUp); }

}  // namespace varn::render
