// The scripted platform: frames of held keys and mouse moves at a fixed frame time.
#include "app/ScriptedPlatform.h"

#include <chrono>
#include <cmath>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

namespace varn::app {

ScriptedPlatform::ScriptedPlatform(double frameSeconds) : frameSeconds_(frameSeconds) {}

ScriptedPlatform& ScriptedPlatform::hold(std::initializer_list<int> keys, int count,
                                         std::initializer_list<int> buttons) {
  Frame frame;
  frame.keys = keys;
  frame.buttons = buttons;
  return append(frame, count);
}

ScriptedPlatform& ScriptedPlatform::idle(int count) { return append(Frame{}, count); }

ScriptedPlatform& ScriptedPlatform::click(int count, std::initializer_list<int> keys) {
  return hold(keys, count, {GLFW_MOUSE_BUTTON_LEFT});
}

ScriptedPlatform& ScriptedPlatform::cursorAt(double x, double y) {
  pendingCursor_ = Point{x, y};
  return *this;
}

ScriptedPlatform& ScriptedPlatform::append(const Frame& frame, int count) {
  for (int i = 0; i < count; ++i) {
    frames_.push_back(frame);
    // A pending mouse move belongs to the first of the appended frames only.
    if (pendingCursor_) {
      frames_.back().cursor = pendingCursor_;
      pendingCursor_.reset();
    }
  }
  return *this;
}

const ScriptedPlatform::Frame* ScriptedPlatform::current() const {
  if (frame_ < scriptLength()) return &frames_[static_cast<std::size_t>(frame_)];
  if (afterScript_ == AfterScript::HoldLast && !frames_.empty()) return &frames_.back();
  return nullptr;
}

void ScriptedPlatform::deliverMouseMove() {
  if (mouseMoveDelivered_) return;
  mouseMoveDelivered_ = true;
  if (frame_ < scriptLength()) {
    const Frame& frame = frames_[static_cast<std::size_t>(frame_)];
    if (frame.cursor) {
      cursorX_ = frame.cursor->x;
      cursorY_ = frame.cursor->y;
    }
  } else if (frame_ == scriptLength() && pendingCursor_) {
    // A move written after the last frame happens once the script has run out.
    cursorX_ = pendingCursor_->x;
    cursorY_ = pendingCursor_->y;
  }
}

bool ScriptedPlatform::keyDown(int key) {
  deliverMouseMove();
  if (abandoned_ || (scriptDone() && afterScript_ == AfterScript::PressEscape)) return key == GLFW_KEY_ESCAPE;
  const Frame* frame = current();
  return frame != nullptr && frame->keys.count(key) > 0;
}

bool ScriptedPlatform::mouseButtonDown(int button) {
  deliverMouseMove();
  if (abandoned_ || (scriptDone() && afterScript_ == AfterScript::PressEscape)) return false;
  const Frame* frame = current();
  return frame != nullptr && frame->buttons.count(button) > 0;
}

void ScriptedPlatform::cursorPosition(double& x, double& y) {
  deliverMouseMove();
  x = cursorX_;
  y = cursorY_;
}

void ScriptedPlatform::setCursorPosition(double x, double y) {
  // As with a real window: the cursor is simply there now, until the mouse moves again.
  cursorX_ = x;
  cursorY_ = y;
}

void ScriptedPlatform::pollEvents() {
  // Keeps the hidden window's event queue drained, as the shipped platform does.
  if (window_ != nullptr) glfwPollEvents();
  ++frame_;
  // Counted, not summed, so long runs do not drift.
  clock_ = frame_ * frameSeconds_;
  mouseMoveDelivered_ = false;
}

void ScriptedPlatform::frameDrawn() {
  const GLenum error = glGetError();
  if (error != GL_NO_ERROR && firstGlErrorFrame_ < 0) {
    firstGlError_ = error;
    firstGlErrorFrame_ = frame_;
  }
  if (soundRate_ > 0) {
    soundFrames_.emplace_back();
    const auto mixStart = std::chrono::steady_clock::now();
    audio::renderLoopback(soundFrames_.back(), samplesPerFrame());
    const std::chrono::duration<double, std::milli> mixTime = std::chrono::steady_clock::now() - mixStart;
    mixMilliseconds_.push_back(mixTime.count());
  }
  if (onFrameDrawn_) onFrameDrawn_(frame_);
}

int ScriptedPlatform::samplesPerFrame() const {
  return static_cast<int>(std::lround(frameSeconds_ * soundRate_));
}

}  // namespace varn::app
