// The built-in cube (built at set-up, never drawn by a pass): its buffers, and its jump, move and turn rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "GlTest.h"
#include "GlmExpect.h"
#include "TempDir.h"
#include "assets/Cube.h"
#include "render/Shader.h"

namespace varn::test {
namespace {

// Each test process writes its programs into a directory of its own: tests run in parallel.
std::unique_ptr<render::Shader> programFrom(const char* vertex, const char* fragment) {
  const TempDir dir;
  return std::make_unique<render::Shader>(dir.write("cube.vert", std::string("#version 430 core\n") + vertex),
                                          dir.write("cube.frag", std::string("#version 430 core\n") + fragment));
}

template <typename T>
std::vector<T> bufferContents(GLenum target, GLuint buffer) {
  glBindBuffer(target, buffer);
  GLint bytes = 0;
  glGetBufferParameteriv(target, GL_BUFFER_SIZE, &bytes);
  std::vector<T> data(static_cast<size_t>(bytes) / sizeof(T));
  glGetBufferSubData(target, 0, bytes, data.data());
  glBindBuffer(target, 0);
  return data;
}

class CubeTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    program = programFrom(
        "in vec3 position; in vec3 normal; out vec3 n;\n"
        "void main() { n = normal; gl_Position = vec4(position, 1.0); }\n",
        "in vec3 n; out vec4 colour; void main() { colour = vec4(n, 1.0); }\n");
  }
  void TearDown() override {
    program.reset();
    GlTest::TearDown();
  }
  std::unique_ptr<render::Shader> program;
};

TEST_F(CubeTest, BuffersHoldTwelveOutwardFacingTrianglesAndAreReleased) {
  GLuint names[4] = {};
  {
    scene::Cube cube(glm::mat4(1.0f), program.get());
    const auto positions = bufferContents<float>(GL_ARRAY_BUFFER, cube.positionBuffer);
    const auto normals = bufferContents<float>(GL_ARRAY_BUFFER, cube.normalBuffer);
    const auto indices = bufferContents<GLuint>(GL_ELEMENT_ARRAY_BUFFER, cube.indexBuffer);
    ASSERT_EQ(positions.size(), 72u);
    ASSERT_EQ(normals.size(), 72u);
    ASSERT_EQ(indices.size(), 36u);
    const auto at = [](const std::vector<float>& data, GLuint i) {
      return glm::vec3(data[3 * i], data[3 * i + 1], data[3 * i + 2]);
    };
    std::map<std::tuple<float, float, float>, int> trianglesPerFace;
    for (size_t t = 0; t < 12; ++t) {
      const GLuint i0 = indices[3 * t], i1 = indices[3 * t + 1], i2 = indices[3 * t + 2];
      ASSERT_LT(std::max({i0, i1, i2}), 24u);
      const glm::vec3 n = at(normals, i0);
      EXPECT_TRUE(at(normals, i1) == n && at(normals, i2) == n) << "triangle " << t;
      for (GLuint i : {i0, i1, i2}) {
        const glm::vec3 p = at(positions, i);
        EXPECT_FLOAT_EQ(glm::dot(p, n), 0.5f) << "vertex " << i << " lies off its face";
        EXPECT_FLOAT_EQ(std::abs(p.x) + std::abs(p.y) + std::abs(p.z), 1.5f) << "vertex " << i << " is no corner";
      }
      // Counter-clockwise seen from outside: the winding normal points along the face normal.
      const glm::vec3 p0 = at(positions, i0);
      EXPECT_GT(glm::dot(glm::cross(at(positions, i1) - p0, at(positions, i2) - p0), n), 0.0f) << "triangle " << t;
      ++trianglesPerFace[{n.x, n.y, n.z}];
    }
    EXPECT_EQ(trianglesPerFace.size(), 6u);
    for (const auto& [normal, count] : trianglesPerFace) EXPECT_EQ(count, 2);

    names[0] = cube.positionBuffer, names[1] = cube.normalBuffer, names[2] = cube.indexBuffer;
    names[3] = cube.vertexArray;
  }
  for (GLuint i = 0; i < 3; ++i) EXPECT_FALSE(glIsBuffer(names[i]));
  EXPECT_FALSE(glIsVertexArray(names[3]));

  // A program without "normal" still gives a cube, and no GL error (checked after the test).
  const auto positionsOnly = programFrom("in vec3 position; void main() { gl_Position = vec4(position, 1.0); }\n",
                                         "out vec4 colour; void main() { colour = vec4(1.0); }\n");
  ASSERT_EQ(glGetAttribLocation(positionsOnly->programHandle, "normal"), -1);
  scene::Cube plain(glm::mat4(1.0f), positionsOnly.get());
}

TEST_F(CubeTest, JumpRisesAndFallsOnceAndEndsBelowItsStart) {
  scene::Cube cube(glm::translate(glm::mat4(1.0f), glm::vec3(2.0f, 3.0f, -5.0f)), program.get());
  cube.update(0.1);  // resting: nothing moves
  EXPECT_EQ(translationOf(cube.modelMatrix), glm::vec3(2.0f, 3.0f, -5.0f));

  cube.jump();
  float expectedHeight = 3.0f;
  for (float speed : {7.0f, 4.0f, 1.0f, -2.0f, -5.0f, -8.0f, -11.0f}) {
    cube.update(0.1);
    if (speed == 4.0f) cube.jump();  // in the air: no second push
    expectedHeight += speed * 0.1f;
    EXPECT_NEAR(cube.verticalSpeed, speed, 1e-4f);
    EXPECT_NEAR(cube.modelMatrix[3][1], expectedHeight, 1e-4f);
    EXPECT_TRUE(cube.jumping);
  }
  cube.update(0.1);  // the eighth update only ends the jump
  EXPECT_FALSE(cube.jumping);
  expectNear(translationOf(cube.modelMatrix), {2.0f, 3.0f - 1.4f, -5.0f}, 1e-4f);
}

TEST_F(CubeTest, MovesAlongWorldAxesWhateverItsTurnAndTurnsAboutItsOwnUpAxis) {
  scene::Cube cube(glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, 0.0f, 0.0f)), program.get());
  const glm::mat4 start = cube.modelMatrix;
  cube.move(1.0f, true, true, false, false);
  cube.turn(0.0f);
  cube.turn(std::nanf(""));
  EXPECT_EQ(cube.modelMatrix, start);

  cube.turn(0.5f);
  cube.turn(0.5f);
  EXPECT_EQ(translationOf(cube.modelMatrix), glm::vec3(1.0f, 0.0f, 0.0f)) << "turning moved the cube";
  // Local +x now points along (cos 1, 0, -sin 1).
  EXPECT_NEAR(cube.modelMatrix[0][0], std::cos(1.0f), 1e-5f);
  EXPECT_NEAR(cube.modelMatrix[0][2], -std::sin(1.0f), 1e-5f);
  cube.move(0.5f, true, false, true, false);
  cube.move(2.0f, false, true, false, true);
  expectNear(translationOf(cube.modelMatrix), {1.0f + 1.5f, 0.0f, 1.5f}, 1e-6f);
  cube.turn(-1.0f);
  cube.move(1.5f, true, false, true, false);
  expectNear(cube.modelMatrix, start, 1e-5f);
}

}  // namespace
}  // namespace varn::test
