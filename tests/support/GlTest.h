// A real OpenGL 4.3 core context for tests (a hidden window; Xvfb + llvmpipe in CI).
// Every test that touches OpenGL derives from GlTest; after each test no GL error is pending.
#pragma once

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varn::test {

// Keeps GLFW's description of its latest error, for failure messages; call before glfwInit.
void recordGlfwErrors();
// That description, or a note that GLFW reported none.
std::string glfwErrorDescription();

// The process-wide test window, created on first use with its context current.
GLFWwindow* sharedGlWindow();

// The RGB texels of a texture's first level, bottom row first, and its size.
std::vector<unsigned char> readTexture(GLuint id, int& width, int& height);

class GlTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace varn::test
