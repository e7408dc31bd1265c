// The winning route and shot as scripts for the scripted platform.
#pragma once

#include <glm/glm.hpp>

#include "LevelRoute.h"
#include "app/ScriptedPlatform.h"

namespace varn::test {

// Walks and jumps from the start to route::kShootingPosition, at 1/60 s a frame.
void appendRouteToButtonRoom(app::ScriptedPlatform& platform);

// The window pixel that aims the robot standing at route::kShootingPosition at
// route::kButtonAimPoint with the player camera, at the game's default 800 x 600.
glm::vec2 cursorAimingAtButton(int windowWidth = 800, int windowHeight = 600);

// Moves the cursor onto the button, waits a few frames for the turn, and fires once.
void appendShotAtButton(app::ScriptedPlatform& platform);

}  // namespace varn::test
