// The winning route through the level as a script, shared by the play-through and the timedemo.
#pragma once

#include <glm/glm.hpp>

#include "app/ScriptedPlatform.h"

namespace varn::test {

// Walks and jumps from the start to the shooting position in the button room, at 1/60 s a frame.
void appendRouteToButtonRoom(app::ScriptedPlatform& platform);
// Aims straight at -z, waits a few frames for the turn, and fires once.
void appendShotAtButton(app::ScriptedPlatform& platform);

// From within kShootingTolerance of here (in x and z) a shot straight at -z from the shoulder meets the button first.
inline const glm::vec3 kShootingPosition{43.2f, 6.0f, -32.5f};
constexpr float kShootingTolerance = 0.4f;

}  // namespace varn::test
