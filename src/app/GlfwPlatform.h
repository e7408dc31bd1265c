// The shipped platform: every call goes straight to GLFW.
#pragma once

#include "app/Platform.h"

namespace varn::app {

class GlfwPlatform : public Platform {
 public:
  void attach(GLFWwindow* window) override { window_ = window; }
  double time() override;
  bool keyDown(int key) override;
  bool mouseButtonDown(int button) override;
  void cursorPosition(double& x, double& y) override;
  void setCursorPosition(double x, double y) override;
  void setCursorNormal() override;
  void pollEvents() override;

 private:
  GLFWwindow* window_ = nullptr;
};

}  // namespace varn::app
