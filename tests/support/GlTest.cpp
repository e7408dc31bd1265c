// One hidden 800 x 600 window per test process, made current once.
#include "GlTest.h"

#include <cstdlib>

namespace varn::test {

GLFWwindow* sharedGlWindow() {
  static GLFWwindow* window = [] {
    if (!glfwInit()) return static_cast<GLFWwindow*>(nullptr);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* created = glfwCreateWindow(800, 600, "Morrowgear tests", nullptr, nullptr);
    if (!created) return created;
    glfwMakeContextCurrent(created);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) return static_cast<GLFWwindow*>(nullptr);
    // GLEW asks for the extension string the core-profile way and leaves one error behind.
    while (glGetError() != GL_NO_ERROR) {
    }
    return created;
  }();
  return window;
}

void GlTest::SetUp() { ASSERT_NE(sharedGlWindow(), nullptr) << "no OpenGL 4.3 core context (is a display set?)"; }

void GlTest::TearDown() {
  if (sharedGlWindow()) {
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

}  // namespace varn::test
