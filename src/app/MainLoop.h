// The frame loop: one frame per pass, in the game's fixed order of steps.
#pragma once

#include <cstdint>
#include <string>

#include "app/Platform.h"

struct GLFWwindow;

namespace varn::app {

// Runs frames until the window should close or the end countdown has run out.
void runMainLoop(GLFWwindow* window, Platform& platform);

// "Morrowgear | Objects drawn D / C | Frametime: N ms", with three blanks after the
// colon below 10 ms so one- and two-digit times take the same room.
std::string windowTitle(uint32_t drawn, uint32_t considered, float frameSeconds);

// Takes the frame time from the clock into deltaTime (capped at 0.1 s) and previousTime.
void takeFrameTime(double now);

// Decreases every running cooldown by deltaTime.
void ageCooldowns();

}  // namespace varn::app
