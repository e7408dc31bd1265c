// libFuzzer target over the game's asset loading: every input is written to a file and
// loaded as a texture (header checks, then SOIL) and as an OBJ model (Assimp, then the
// upload of its meshes), in a hidden OpenGL context. Built and run by scripts/fuzz.sh.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "assets/Model.h"
#include "assets/Texture.h"

namespace {

std::string scratchFolder() {
  static const std::string folder = [] {
    std::string pattern = "/tmp/morrowgear-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  glfwSetErrorCallback(
      [](int code, const char* description) { std::fprintf(stderr, "GLFW error %d: %s\n", code, description); });
  if (!glfwInit()) std::abort();
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  GLFWwindow* window = glfwCreateWindow(64, 64, "Morrowgear fuzz", nullptr, nullptr);
  if (window == nullptr) std::abort();
  glfwMakeContextCurrent(window);
  glewExperimental = GL_TRUE;
  if (glewInit() != GLEW_OK) std::abort();
  while (glGetError() != GL_NO_ERROR) {
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string folder = scratchFolder();
  std::ofstream(folder + "/input", std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  GLuint texture = varn::assets::textureFromFile("input", folder);
  glDeleteTextures(1, &texture);

  std::ofstream(folder + "/input.obj", std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  const varn::assets::Model model((folder + "/input.obj").c_str(), nullptr);
  // Loaded models are never released in the game; here every input would keep its buffers.
  for (const auto& mesh : model.meshes) {
    glDeleteVertexArrays(1, &mesh.VAO);
    glDeleteBuffers(1, &mesh.VBO);
    glDeleteBuffers(1, &mesh.EBO);
  }
  for (const auto& t : model.texturesLoaded) glDeleteTextures(1, &t.id);
  if (glGetError() != GL_NO_ERROR) std::abort();
  return 0;
}
