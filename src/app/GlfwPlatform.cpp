// GLFW behind the input and clock seam.
#include "app/GlfwPlatform.h"

#include <GLFW/glfw3.h>

namespace varn::app {

double GlfwPlatform::time() { return glfwGetTime(); }

bool GlfwPlatform::keyDown(int key) { return glfwGetKey(window_, key) == GLFW_PRESS; }

bool GlfwPlatform::mouseButtonDown(int button) { return glfwGetMouseButton(window_, button) == GLFW_PRESS; }

void GlfwPlatform::cursorPosition(double& x, double& y) { glfwGetCursorPos(window_, &x, &y); }

void GlfwPlatform::setCursorPosition(double x, double y) { glfwSetCursorPos(window_, x, y); }

void GlfwPlatform::setCursorNormal() { glfwSetInputMode(window_, GLFW_CURSOR, GLFW_CURSOR_NORMAL); }

void GlfwPlatform::pollEvents() { glfwPollEvents(); }

}  // namespace varn::app
