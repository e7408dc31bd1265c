// Advances the scene objects by one frame.
#pragma once

namespace varn::app {

// The robot, then every bullet, then the living enemies (until one has reached the robot).
void updateWorld(double deltaTime);

}  // namespace varn::app
