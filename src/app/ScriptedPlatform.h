// A platform that plays a script of frames at a fixed frame time: which keys and mouse
// buttons are held in each frame and where the mouse moves. Drives the real controls
// and the real main loop deterministically.
//
//   ScriptedPlatform platform;            // 1/60 s per frame, Escape after the script
//   platform.hold({GLFW_KEY_W}, 120);      // two seconds of walking forward
//   platform.cursorAt(600, 200).click(1);  // move the mouse, then one frame with the button
#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <set>
#include <vector>

#include "app/Platform.h"

namespace varn::app {

class ScriptedPlatform : public Platform {
 public:
  struct Point {
    double x = 0.0;
    double y = 0.0;
  };

  // What the player does in one frame.
  struct Frame {
    std::set<int> keys;     // GLFW key codes held
    std::set<int> buttons;  // GLFW mouse-button codes held
    // Where the mouse is moved before the frame reads it; without one the cursor stays put.
    std::optional<Point> cursor;
  };

  // What the keys do once the script has run out.
  enum class AfterScript {
    PressEscape,  // Escape is held, so the main loop ends with the script
    ReleaseAll,   // nothing is held
    HoldLast,     // the last frame's keys and buttons stay held
  };

  explicit ScriptedPlatform(double frameSeconds = 1.0 / 60.0);

  // ---- Writing the script; each call appends at the end and returns *this.
  // Appends count frames holding the keys (and mouse buttons).
  ScriptedPlatform& hold(std::initializer_list<int> keys, int count = 1, std::initializer_list<int> buttons = {});
  // Appends count frames holding nothing.
  ScriptedPlatform& idle(int count = 1);
  // Appends count frames holding the left mouse button (and the keys).
  ScriptedPlatform& click(int count = 1, std::initializer_list<int> keys = {});
  // The mouse moves to (x, y) before the next appended frame reads it.
  ScriptedPlatform& cursorAt(double x, double y);
  // Appends a hand-made frame count times.
  ScriptedPlatform& append(const Frame& frame, int count = 1);

  void setAfterScript(AfterScript behaviour) { afterScript_ = behaviour; }
  // Gives the rest of the script up: from the next input read only Escape is held, so a
  // play that has gone wrong ends at once instead of playing on.
  void abandonScript() { abandoned_ = true; }
  bool abandoned() const { return abandoned_; }
  // The game's sound goes to a loopback device; each frame mixes exactly one frame time of
  // stereo samples, kept in soundFrames() before the per-frame callback runs.
  void mixSound(int sampleRate = 48000) { soundRate_ = sampleRate; }
  // Called from frameDrawn with the frame's number (0 for the first frame).
  void onFrameDrawn(std::function<void(int frame)> callback) { onFrameDrawn_ = std::move(callback); }

  // ---- The seam.
  void attach(GLFWwindow* window) override { window_ = window; }
  double time() override { return clock_; }
  bool keyDown(int key) override;
  bool mouseButtonDown(int button) override;
  void cursorPosition(double& x, double& y) override;
  void setCursorPosition(double x, double y) override;
  void setCursorNormal() override { ++cursorNormalCalls_; }
  // Advances the clock by one frame time and moves on to the next frame of the script.
  void pollEvents() override;
  // Records the first OpenGL error of the run, then calls the per-frame callback.
  void frameDrawn() override;
  audio::Output soundOutput() override { return {soundRate_ > 0, soundRate_ > 0 ? soundRate_ : 48000}; }

  // ---- What happened.
  int frame() const { return frame_; }  // number of the frame now being played
  int scriptLength() const { return static_cast<int>(frames_.size()); }
  bool scriptDone() const { return frame_ >= scriptLength(); }
  double frameSeconds() const { return frameSeconds_; }
  GLFWwindow* window() const { return window_; }
  int cursorNormalCalls() const { return cursorNormalCalls_; }
  unsigned firstGlError() const { return firstGlError_; }       // 0 (GL_NO_ERROR) if there was none
  int firstGlErrorFrame() const { return firstGlErrorFrame_; }  // -1 if there was none
  // Interleaved left, right floats of each frame mixed so far, one entry per frame.
  const std::vector<std::vector<float>>& soundFrames() const { return soundFrames_; }
  // Wall time of each frame's loopback mix, in milliseconds: what the sound adds to a frame
  // on the game's own thread, apart from the few source updates before it.
  const std::vector<double>& mixMilliseconds() const { return mixMilliseconds_; }
  int samplesPerFrame() const;

 private:
  const Frame* current() const;
  void deliverMouseMove();

  std::vector<Frame> frames_;
  std::optional<Point> pendingCursor_;  // for the next appended frame
  double frameSeconds_;
  double clock_ = 0.0;
  int frame_ = 0;
  // A frame's mouse move lands on the frame's first input read, so frame 0's move also
  // comes after the game has placed the cursor at start-up.
  bool mouseMoveDelivered_ = false;
  double cursorX_ = 0.0;
  double cursorY_ = 0.0;
  AfterScript afterScript_ = AfterScript::PressEscape;
  bool abandoned_ = false;
  std::function<void(int)> onFrameDrawn_;
  GLFWwindow* window_ = nullptr;
  int cursorNormalCalls_ = 0;
  unsigned firstGlError_ = 0;
  int firstGlErrorFrame_ = -1;
  int soundRate_ = 0;  // 0: the system's device
  std::vector<std::vector<float>> soundFrames_;
  std::vector<double> mixMilliseconds_;
};

}  // namespace varn::app
