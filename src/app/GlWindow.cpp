// The OpenGL 4.3 core window: GLFW's hints, the context, GLEW and its leftover error.
#include "app/GlWindow.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

namespace varn::app {

GLFWwindow* openGlWindow(const GlWindowRequest& request, GlWindowFailure& failure) {
  failure = GlWindowFailure::None;
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  if (request.hidden) glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  if (request.monitor != nullptr) glfwWindowHint(GLFW_REFRESH_RATE, request.refreshRate);
  GLFWwindow* window = glfwCreateWindow(request.width, request.height, request.title, request.monitor, nullptr);
  if (window == nullptr) {
    failure = GlWindowFailure::Window;
    return nullptr;
  }
  glfwMakeContextCurrent(window);
  // Without it GLEW leaves the core profile's entry points unloaded.
  glewExperimental = GL_TRUE;
  if (glewInit() != GLEW_OK) {
    failure = GlWindowFailure::Glew;
    return nullptr;
  }
  // In a core context GLEW's extension query leaves GL_INVALID_ENUM behind; it is
  // GLEW's, not the game's, so it is cleared before the first frame.
  while (glGetError() != GL_NO_ERROR) {
  }
  return window;
}

}  // namespace varn::app
