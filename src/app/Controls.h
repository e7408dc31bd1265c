// Keyboard and mouse: render toggles, the mute key, aiming, firing, walking, the camera switch
// and the free-camera look. All input is polled through the platform seam.
#pragma once

#include <glm/glm.hpp>

#include "app/Platform.h"

namespace varn::app {

// What aiming worked out this frame, kept for the rest of the frame.
struct FrameAim {
  double cursorX = 0.0;  // window pixels, origin top left
  double cursorY = 0.0;
  glm::vec3 rayDirection{0.0f};   // unit, world space, through the cursor
  glm::vec3 rayOrigin{0.0f};      // the active camera's eye
  glm::vec3 shoulderPoint{0.0f};  // robot position + (0, 1.5, 0)
};

void applyRenderToggles(Platform& platform);                   // F3 to F9
void toggleSound(Platform& platform);                          // M: mute and unmute
void aimAndTurn(Platform& platform, FrameAim& aim);            // cursor -> aimDirection, robot turn
void fireBullets(Platform& platform, const FrameAim& aim);     // left mouse button
void moveAndJump(Platform& platform);                          // W, A, S, D, Space
void switchCamera(Platform& platform, FrameAim& aim);          // C
void freeCameraLook(Platform& platform, const FrameAim& aim);  // mouse look while in the free camera

}  // namespace varn::app
