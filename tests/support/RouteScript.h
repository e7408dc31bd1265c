// The winning route and shot as scripts for the scripted platform.
#pragma once

#include <glm/glm.hpp>
#include <string>

#include "LevelRoute.h"
#include "app/ScriptedPlatform.h"

namespace varn::test {

// Walks and jumps from the start to route::kShootingPosition, at 1/60 s a frame.
void appendRouteToButtonRoom(app::ScriptedPlatform& platform);

// The window pixel that aims the robot standing at route::kShootingPosition at
// route::kButtonAimPoint with the player camera, at the game's default 800 x 600.
glm::vec2 cursorAimingAtButton(int windowWidth = 800, int windowHeight = 600);

// Moves the cursor onto the button, waits a few frames for the turn, and fires once;
// returns the number of the frame that fires.
int appendShotAtButton(app::ScriptedPlatform& platform);

// Watches a play that walks the route from routeStart (the frame its first leg begins in)
// and fires the winning shot in shotFrame, and says where the play left its route, so that a
// play gone wrong fails there (with platform.abandonScript()) instead of playing on.
class RouteWatch {
 public:
  RouteWatch(int routeStart, int shotFrame) : routeStart_(routeStart), shotFrame_(shotFrame) {}

  // Called after every frame with where the robot stands, the player camera's view and
  // whether the game is won. Empty while the play keeps to its route. Otherwise what went
  // wrong, naming the waypoint: at the last frame of a leg the robot stands more than
  // route::kHorizontalTolerance (x, z) or route::kHeightTolerance (y) from the leg's end,
  // or the player camera has lost its start-up offset from the robot (the aim at the button
  // counts on it); or the game is not won route::kWinSeconds after the shot.
  std::string check(int frame, glm::vec3 robotPosition, const glm::mat4& playerView, bool won) const;

 private:
  int routeStart_;
  int shotFrame_;
};

}  // namespace varn::test
