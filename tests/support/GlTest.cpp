// One hidden 800 x 600 window per test process, made current once.
#include "GlTest.h"

#include <cstdio>
#include <string>

#include "app/GlWindow.h"

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
    app::GlWindowRequest request;
    request.title = "Morrowgear tests";
    request.hidden = true;
    app::GlWindowFailure failure = app::GlWindowFailure::None;
    GLFWwindow* created = app::openGlWindow(request, failure);
    if (failure == app::GlWindowFailure::Glew) lastGlfwError() = "glewInit failed";
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
