// One hidden 800 x 600 window per test process, made current once.
#include "GlTest.h"

#include <cstdio>
#include <string>

namespace varn::test {

namespace {

// GLFW's own words for the last thing that went wrong, for the failure message.
std::string& lastGlfwError() {
  static std::string description;
  return description;
}

void rememberGlfwError(int code, const char* description) {
  lastGlfwError() = "GLFW error " + std::to_string(code) + ": " + (description ? description : "(no description)");
  // Also said at once: a failed start-up inside the game ends the process before any check.
  std::fprintf(stderr, "%s\n", lastGlfwError().c_str());
}

}  // namespace

void recordGlfwErrors() { glfwSetErrorCallback(rememberGlfwError); }

std::string glfwErrorDescription() { return lastGlfwError().empty() ? "no GLFW error reported" : lastGlfwError(); }

GLFWwindow* sharedGlWindow() {
  static GLFWwindow* window = [] {
    recordGlfwErrors();
    if (!glfwInit()) return static_cast<GLFWwindow*>(nullptr);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* created = glfwCreateWindow(800, 600, "Morrowgear tests", nullptr, nullptr);
    if (!created) return created;
    glfwMakeContextCurrent(created);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
      lastGlfwError() = "glewInit failed";
      return static_cast<GLFWwindow*>(nullptr);
    }
    // GLEW asks for the extension string the core-profile way and leaves one error behind.
    while (glGetError() != GL_NO_ERROR) {
    }
    return created;
  }();
  return window;
}

std::vector<unsigned char> readTexture(GLuint id, int& width, int& height) {
  glBindTexture(GL_TEXTURE_2D, id);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  std::vector<unsigned char> texels(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D, 0);
  return texels;
}

void GlTest::SetUp() {
  ASSERT_NE(sharedGlWindow(), nullptr) << "no OpenGL 4.3 core context (is a display set?): " << glfwErrorDescription();
}

void GlTest::TearDown() {
  if (sharedGlWindow()) {
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

}  // namespace varn::test
