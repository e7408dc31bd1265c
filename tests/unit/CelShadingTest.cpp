// The cel program's look, read back from a corner of the window: light falls into a few
// hard bands, and its redraw of the level over the textured pass never shows through.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <set>
#include <tuple>
#include <vector>

#include "GlTest.h"
#include "render/Shader.h"

namespace varn::test {
namespace {

using render::Shader;

constexpr int kTarget = 64;

class CelShadingTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    glViewport(0, 0, kTarget, kTarget);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    // A 1 x 1 white diffuse texture on unit 0, as a mesh binds its own.
    const unsigned char white[4] = {255, 255, 255, 255};
    glGenTextures(2, textures_);
    glBindTexture(GL_TEXTURE_2D, textures_[0]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    // A shadow map on unit 2 that hides nothing.
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, textures_[1]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LESS);
    const std::vector<float> texels(16 * 16, 1.0f);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, 16, 16, 0, GL_DEPTH_COMPONENT, GL_FLOAT, texels.data());
    glActiveTexture(GL_TEXTURE0);
    glGenVertexArrays(1, &vertexArray_);
    glGenBuffers(1, &vertexBuffer_);
  }

  void TearDown() override {
    glDeleteTextures(2, textures_);
    glDeleteBuffers(1, &vertexBuffer_);
    glDeleteVertexArrays(1, &vertexArray_);
    glUseProgram(0);
    glViewport(0, 0, 800, 600);
    GlTest::TearDown();
  }

  // A quad in the y = 0 plane, x and z in [-1, 1]; normals given per corner
  // (order: (-1, -1), (1, -1), (1, 1), (-1, 1) in x, z), counter-clockwise seen from above.
  void drawFloorQuad(const std::vector<glm::vec3>& normals = std::vector<glm::vec3>(4, glm::vec3(0, 1, 0))) {
    const glm::vec3 corners[4] = {{-1, 0, 1}, {1, 0, 1}, {1, 0, -1}, {-1, 0, -1}};
    std::vector<float> data;
    for (int i : {0, 1, 2, 0, 2, 3})
      data.insert(data.end(), {corners[i].x, corners[i].y, corners[i].z, normals[i].x, normals[i].y, normals[i].z,
                               (corners[i].x + 1) / 2, (1 - corners[i].z) / 2});
    glBindVertexArray(vertexArray_);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size() * sizeof(float)), data.data(), GL_STREAM_DRAW);
    for (GLuint location = 0; location < 3; ++location) {
      glEnableVertexAttribArray(location);
      glVertexAttribPointer(location, location == 2 ? 2 : 3, GL_FLOAT, GL_FALSE, 8 * sizeof(float),
                            reinterpret_cast<const void*>(location * 3 * sizeof(float)));
    }
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glBindVertexArray(0);
  }

  static void setMatrix(GLuint program, const char* name, const glm::mat4& m) {
    glUniformMatrix4fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(m));
  }
  static void setVec3(GLuint program, const char* name, glm::vec3 v) {
    glUniform3fv(glGetUniformLocation(program, name), 1, glm::value_ptr(v));
  }

  // The lit-uniform set of the frame, with the light at lightPosition looking straight down
  // and the floor moved to `centre`, seen from straight above.
  static void setLitScene(GLuint program, glm::vec3 centre, glm::vec3 lightPosition = glm::vec3(0, 6, 0)) {
    glUseProgram(program);
    const glm::mat4 model = glm::translate(glm::mat4(1.0f), centre);
    const glm::mat4 lightView = glm::lookAt(lightPosition, lightPosition - glm::vec3(0, 1, 0), glm::vec3(0, 0, -1));
    const glm::mat4 bias =
        glm::translate(glm::mat4(1.0f), glm::vec3(0.5f)) * glm::scale(glm::mat4(1.0f), glm::vec3(0.5f));
    setMatrix(program, "model", model);
    setMatrix(program, "view", glm::lookAt(centre + glm::vec3(0, 5, 0), centre, glm::vec3(0, 0, -1)));
    setMatrix(program, "project", glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, 0.1f, 20.0f));
    setMatrix(program, "M_Vl_Pl_L_Matrix", bias * glm::perspective(1.7453293f, 1.0f, 2.0f, 10.0f) * lightView * model);
    setVec3(program, "lightPosition", lightPosition);
    setVec3(program, "light_ambient", glm::vec3(0.3f, 0.0f, 0.0f));
    setVec3(program, "light_diffuse", glm::vec3(1.0f, 0.5f, 0.5f));
    setVec3(program, "cameraPosition", centre + glm::vec3(0, 5, 0));
    for (const char* name : {"material_color", "material_ambient", "material_diffuse", "material_specular"})
      setVec3(program, name, glm::vec3(1.0f));
    glUniform1f(glGetUniformLocation(program, "material_shininess"), 128.0f);
    glUniform1i(glGetUniformLocation(program, "texture_diffuse1"), 0);
    glUniform1i(glGetUniformLocation(program, "shadowMap"), 2);
  }

  static void clear() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

  static std::vector<unsigned char> readTarget() {
    std::vector<unsigned char> pixels(kTarget * kTarget * 4);
    glReadPixels(0, 0, kTarget, kTarget, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  GLuint textures_[2] = {0, 0};
  GLuint vertexArray_ = 0, vertexBuffer_ = 0;
};

TEST_F(CelShadingTest, CelShadingFallsIntoFewBandsWhereBlinnPhongIsSmooth) {
  // Normals turn from straight up on the left edge to sideways on the right, so the
  // diffuse term sweeps from full to nothing across the picture.
  const std::vector<glm::vec3> normals = {{0, 1, 0}, {1, 0.05f, 0}, {1, 0.05f, 0}, {0, 1, 0}};
  const auto distinctColours = [&](const char* vertex, const char* fragment) {
    const Shader shader(vertex, fragment);
    clear();
    setLitScene(shader.programHandle, glm::vec3(0.0f), glm::vec3(0, 3, 0));
    drawFloorQuad(normals);
    const std::vector<unsigned char> pixels = readTarget();
    std::set<std::tuple<int, int, int>> colours;
    const size_t row = kTarget / 3;  // away from the highlight straight under the light
    for (size_t i = row * kTarget * 4; i < (row + 1) * kTarget * 4; i += 4)
      colours.insert({pixels[i], pixels[i + 1], pixels[i + 2]});
    return colours.size();
  };
  EXPECT_LE(distinctColours("Shader/cel.vert", "Shader/cel.frag"), 6u);
  EXPECT_GE(distinctColours("Shader/blinn_phong_tex.vert", "Shader/blinn_phong_tex.frag"), 16u);
}

TEST_F(CelShadingTest, CelRedrawOfTheLevelLeavesTheTexturedPictureUntouched) {
  // The cel pass draws the level again over the textured pass with the same depth test:
  // the two programs must place it at identical depths, or the cel draw z-fights through.
  const Shader textured("Shader/blinn_phong_tex.vert", "Shader/blinn_phong_tex.frag");
  const Shader cel("Shader/cel.vert", "Shader/cel.frag");
  clear();
  for (const Shader* shader : {&textured, &cel}) {
    setLitScene(shader->programHandle, glm::vec3(0.0f));
    setMatrix(shader->programHandle, "view",
              glm::lookAt(glm::vec3(0.3f, 1.2f, 2.5f), glm::vec3(0.0f), glm::vec3(0, 1, 0)));
    setMatrix(shader->programHandle, "project", glm::perspective(1.0471976f, 1.0f, 0.1f, 40.0f));
    if (shader == &cel) setVec3(shader->programHandle, "material_color", glm::vec3(0.0f, 0.0f, 1.0f));
    drawFloorQuad();
  }
  const std::vector<unsigned char> after = readTarget();
  int celPixels = 0;
  for (size_t i = 0; i < after.size(); i += 4) celPixels += (after[i] == 0 && after[i + 2] > 0) ? 1 : 0;
  EXPECT_EQ(celPixels, 0) << "blue cel pixels show through the textured level";
}

}  // namespace
}  // namespace varn::test
