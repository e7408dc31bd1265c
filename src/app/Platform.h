// The one seam between the game and the window system: input, clock and sound output.
//
// The shipped game uses GlfwPlatform; tests plug in a scripted platform that
// holds keys per frame and advances a fixed clock, so the real main loop runs
// frame by frame, deterministically, with real rendering.
#pragma once

#include "audio/Audio.h"

struct GLFWwindow;

namespace varn::app {

class Platform {
 public:
  virtual ~Platform() = default;

  // Called once the window and its context exist.
  virtual void attach(GLFWwindow* window) = 0;
  // Seconds since the library was initialised.
  virtual double time() = 0;
  // GLFW key and mouse-button codes; true while held.
  virtual bool keyDown(int key) = 0;
  virtual bool mouseButtonDown(int button) = 0;
  // Window pixels, origin top left.
  virtual void cursorPosition(double& x, double& y) = 0;
  virtual void setCursorPosition(double x, double y) = 0;
  // Cursor back to the normal, visible mode.
  virtual void setCursorNormal() = 0;
  // End of frame: gathers the input the next frame reads.
  virtual void pollEvents() = 0;
  // After the frame has been drawn and titled, before the buffers are swapped.
  virtual void frameDrawn() {}
  // Where the game's sound goes: the system's default device unless a platform mixes it itself.
  virtual audio::Output soundOutput() { return {}; }
};

}  // namespace varn::app
