// Turns the level's walking route into scripted frames, and aims a shot at the button.
#pragma once

#include <glm/glm.hpp>

#include "LevelRoute.h"
#include "app/ScriptedPlatform.h"

namespace varn::test {

using app::ScriptedPlatform;

// Appends the legs; framesPerStep 1 at 1/60 s, route::kFramesPerTenth at 0.1 s frames.
template <size_t N>
void appendLegs(ScriptedPlatform& platform, const route::Leg (&legs)[N], int legCount = static_cast<int>(N),
                int framesPerStep = 1);

// The whole route from the start to the shooting position in the button room (1/60 s frames).
void appendRouteToButtonRoom(ScriptedPlatform& platform);

// The window pixel that aims the robot standing at route::kShootingPosition at
// route::kButtonAimPoint with the player camera, at the game's default 800 x 600.
glm::vec2 cursorAimingAtButton(int windowWidth = 800, int windowHeight = 600);

// Moves the cursor onto the button, waits a few frames for the turn, and fires once.
void appendShotAtButton(ScriptedPlatform& platform);

}  // namespace varn::test

#include "RouteScript.inl"
