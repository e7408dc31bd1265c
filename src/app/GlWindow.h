// Opening a window with an OpenGL 4.3 core-profile context and its entry points loaded:
// the one sequence the game, the GL tests and the benchmark share.
#pragma once

struct GLFWwindow;
struct GLFWmonitor;

namespace varn::app {

struct GlWindowRequest {
  int width = 800;
  int height = 600;
  const char* title = "Morrowgear";
  GLFWmonitor* monitor = nullptr;  // fullscreen on this monitor; windowed without one
  int refreshRate = 60;            // Hz, asked for only in fullscreen
  // GLFW keeps its hints for later windows: once a hidden one is asked for, the process's
  // later windows open hidden too.
  bool hidden = false;
};

enum class GlWindowFailure { None, Window, Glew };

// glfwInit must have succeeded. Creates the window, makes its context current and loads the
// OpenGL entry points through GLEW, leaving no GL error behind. On failure returns nullptr
// and says which step failed; a window created before GLEW failed is left to glfwTerminate.
GLFWwindow* openGlWindow(const GlWindowRequest& request, GlWindowFailure& failure);

}  // namespace varn::app
