// The built-in cube: its buffers and vertex array, its drawing, and its jump, move and turn rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "GlTest.h"
#include "Screenshot.h"
#include "TempDir.h"
#include "assets/Cube.h"
#include "render/Shader.h"

namespace varn::scene {
namespace {

constexpr const char* kVertexWithNormal = R"(#version 430 core
in vec3 position;
in vec3 normal;
uniform mat4 mvp;
out vec3 faceNormal;
void main() { faceNormal = normal; gl_Position = mvp * vec4(position, 1.0); }
)";
constexpr const char* kVertexPositionOnly = R"(#version 430 core
in vec3 position;
uniform mat4 mvp;
void main() { gl_Position = mvp * vec4(position, 1.0); }
)";
constexpr const char* kFragmentWithNormal = R"(#version 430 core
in vec3 faceNormal;
out vec4 colour;
void main() { colour = vec4(faceNormal * 0.5 + 0.5, 1.0); }
)";
constexpr const char* kFragmentPlain = R"(#version 430 core
out vec4 colour;
void main() { colour = vec4(1.0); }
)";

// Each test process writes its programs into a directory of its own: tests run in parallel.
std::unique_ptr<render::Shader> programFrom(const char* vertex, const char* fragment) {
  const test::TempDir dir;
  return std::make_unique<render::Shader>(dir.write("cube.vert", vertex), dir.write("cube.frag", fragment));
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

glm::vec3 translationOf(const glm::mat4& m) { return glm::vec3(m[3]); }

class CubeTest : public test::GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    program = programFrom(kVertexWithNormal, kFragmentWithNormal);
  }
  void TearDown() override {
    program.reset();
    GlTest::TearDown();
  }
  std::unique_ptr<render::Shader> program;
};

TEST_F(CubeTest, BuffersHoldTwelveOutwardFacingTriangles) {
  Cube cube(glm::mat4(1.0f), program.get());
  const auto positions = bufferContents<float>(GL_ARRAY_BUFFER, cube.positionBuffer);
  const auto normals = bufferContents<float>(GL_ARRAY_BUFFER, cube.normalBuffer);
  const auto indices = bufferContents<GLuint>(GL_ELEMENT_ARRAY_BUFFER, cube.indexBuffer);
  ASSERT_EQ(positions.size(), 72u);
  ASSERT_EQ(normals.size(), 72u);
  ASSERT_EQ(indices.size(), 36u);

  auto vertex = [](const std::vector<float>& data, GLuint i) {
    return glm::vec3(data[3 * i], data[3 * i + 1], data[3 * i + 2]);
  };
  std::map<std::tuple<float, float, float>, int> trianglesPerFace;
  for (size_t t = 0; t < 12; ++t) {
    const GLuint i0 = indices[3 * t], i1 = indices[3 * t + 1], i2 = indices[3 * t + 2];
    ASSERT_LT(std::max({i0, i1, i2}), 24u);
    const glm::vec3 n = vertex(normals, i0);
    EXPECT_EQ(vertex(normals, i1), n) << "triangle " << t;
    EXPECT_EQ(vertex(normals, i2), n) << "triangle " << t;
    for (GLuint i : {i0, i1, i2}) {
      const glm::vec3 p = vertex(positions, i);
      EXPECT_FLOAT_EQ(glm::dot(p, n), 0.5f) << "vertex " << i << " lies off its face";
      EXPECT_FLOAT_EQ(std::abs(p.x) + std::abs(p.y) + std::abs(p.z), 1.5f) << "vertex " << i << " is no corner";
    }
    // Counter-clockwise seen from outside: the winding normal points along the face normal.
    const glm::vec3 winding =
        glm::cross(vertex(positions, i1) - vertex(positions, i0), vertex(positions, i2) - vertex(positions, i0));
    EXPECT_GT(glm::dot(winding, n), 0.0f) << "triangle " << t << " faces inwards";
    ++trianglesPerFace[{n.x, n.y, n.z}];
  }
  EXPECT_EQ(trianglesPerFace.size(), 6u);
  for (const auto& [normal, count] : trianglesPerFace) EXPECT_EQ(count, 2);
}

TEST_F(CubeTest, VertexArrayRecordsTheProgramsAttributesAndTheIndices) {
  Cube cube(glm::mat4(1.0f), program.get());
  GLint bound = -1;
  glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound);
  EXPECT_EQ(bound, 0);
  glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
  EXPECT_EQ(bound, 0);

  glBindVertexArray(cube.vertexArray);
  glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), cube.indexBuffer);
  const std::pair<const char*, GLuint> attributes[] = {{"position", cube.positionBuffer},
                                                       {"normal", cube.normalBuffer}};
  for (const auto& [name, buffer] : attributes) {
    const GLint location = glGetAttribLocation(program->programHandle, name);
    ASSERT_GE(location, 0) << name;
    GLint enabled = 0, source = 0, size = 0;
    glGetVertexAttribiv(static_cast<GLuint>(location), GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    glGetVertexAttribiv(static_cast<GLuint>(location), GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &source);
    glGetVertexAttribiv(static_cast<GLuint>(location), GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
    EXPECT_EQ(enabled, GL_TRUE) << name;
    EXPECT_EQ(static_cast<GLuint>(source), buffer) << name;
    EXPECT_EQ(size, 3) << name;
  }
  glBindVertexArray(0);
}

TEST_F(CubeTest, ProgramWithoutNormalsStillGivesAPositionedCube) {
  const auto positionsOnly = programFrom(kVertexPositionOnly, kFragmentPlain);
  ASSERT_EQ(glGetAttribLocation(positionsOnly->programHandle, "normal"), -1);
  Cube cube(glm::mat4(1.0f), positionsOnly.get());
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  glBindVertexArray(cube.vertexArray);
  GLint enabled = 0;
  glGetVertexAttribiv(static_cast<GLuint>(glGetAttribLocation(positionsOnly->programHandle, "position")),
                      GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
  EXPECT_EQ(enabled, GL_TRUE);
  glBindVertexArray(0);
}

TEST_F(CubeTest, DrawsTwelveTrianglesWithTheFrontFaceTowardsTheViewer) {
  Cube cube(glm::mat4(1.0f), program.get());
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, 800, 600);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glDisable(GL_DEPTH_TEST);
  glUseProgram(program->programHandle);
  // Seen from +z and a little turned, so the front, right and top faces show.
  const glm::mat4 mvp = glm::perspective(0.8f, 800.0f / 600.0f, 0.1f, 10.0f) *
                        glm::lookAt(glm::vec3(1.2f, 1.2f, 3.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
  glUniformMatrix4fv(glGetUniformLocation(program->programHandle, "mvp"), 1, GL_FALSE, glm::value_ptr(mvp));

  GLuint query = 0;
  glGenQueries(1, &query);
  glBeginQuery(GL_PRIMITIVES_GENERATED, query);
  cube.draw(0, 0);
  glEndQuery(GL_PRIMITIVES_GENERATED);
  GLint primitives = 0;
  glGetQueryObjectiv(query, GL_QUERY_RESULT, &primitives);
  glDeleteQueries(1, &query);
  EXPECT_EQ(primitives, 12);

  const std::vector<uint8_t> frame = test::readBackBuffer(800, 600);
  test::saveScreenshot(std::string(MORROWGEAR_ARTIFACT_DIR) + "/cube.png", 800, 600);
  // The centre of the picture is the front face: its normal (0, 0, 1) shows as blue.
  const uint8_t* centre = &frame[(300 * 800 + 400) * 3];
  EXPECT_NEAR(centre[0], 128, 2);
  EXPECT_NEAR(centre[1], 128, 2);
  EXPECT_EQ(centre[2], 255);
  glUseProgram(0);
  glEnable(GL_DEPTH_TEST);
}

TEST_F(CubeTest, JumpRisesAndFallsAndEndsBelowItsStart) {
  Cube cube(glm::translate(glm::mat4(1.0f), glm::vec3(2.0f, 3.0f, -5.0f)), program.get());
  cube.update(0.1);  // resting: nothing moves
  EXPECT_EQ(translationOf(cube.modelMatrix), glm::vec3(2.0f, 3.0f, -5.0f));

  cube.jump();
  const float expectedSpeeds[] = {7, 4, 1, -2, -5, -8, -11};
  float expectedHeight = 3.0f;
  for (float speed : expectedSpeeds) {
    cube.update(0.1);
    expectedHeight += speed * 0.1f;
    EXPECT_NEAR(cube.verticalSpeed, speed, 1e-4f);
    EXPECT_NEAR(cube.modelMatrix[3][1], expectedHeight, 1e-4f);
    EXPECT_TRUE(cube.jumping);
  }
  cube.update(0.1);  // the eighth update only ends the jump
  EXPECT_FALSE(cube.jumping);
  EXPECT_NEAR(cube.modelMatrix[3][1], 3.0f - 1.4f, 1e-4f);
  EXPECT_FLOAT_EQ(cube.modelMatrix[3][0], 2.0f);
  EXPECT_FLOAT_EQ(cube.modelMatrix[3][2], -5.0f);
}

TEST_F(CubeTest, JumpDuringAJumpChangesNothing) {
  Cube cube(glm::mat4(1.0f), program.get());
  cube.jump();
  cube.update(0.1);
  cube.update(0.1);
  const float speed = cube.verticalSpeed;
  cube.jump();
  EXPECT_EQ(cube.verticalSpeed, speed);
  cube.update(0.1);
  EXPECT_NEAR(cube.verticalSpeed, speed - 3.0f, 1e-4f);
}

TEST_F(CubeTest, MovesAlongWorldAxesWhateverItsTurn) {
  Cube cube(glm::mat4(1.0f), program.get());
  cube.move(1.0f, true, true, false, false);
  EXPECT_EQ(cube.modelMatrix, glm::mat4(1.0f));
  cube.move(0.5f, true, false, true, false);
  EXPECT_EQ(translationOf(cube.modelMatrix), glm::vec3(-0.5f, 0.0f, -0.5f));

  cube.turn(1.5707964f);
  cube.move(2.0f, false, true, false, true);
  EXPECT_NEAR(cube.modelMatrix[3][0], 1.5f, 1e-6f);
  EXPECT_NEAR(cube.modelMatrix[3][2], 1.5f, 1e-6f);
  EXPECT_NEAR(cube.modelMatrix[3][1], 0.0f, 1e-6f);
}

TEST_F(CubeTest, TurnsAboutItsOwnUpAxis) {
  Cube cube(glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, 0.0f, 0.0f)), program.get());
  const glm::mat4 start = cube.modelMatrix;
  cube.turn(0.0f);
  cube.turn(std::nanf(""));
  EXPECT_EQ(cube.modelMatrix, start);

  cube.turn(0.5f);
  cube.turn(0.5f);
  EXPECT_EQ(translationOf(cube.modelMatrix), glm::vec3(1.0f, 0.0f, 0.0f)) << "turning moved the cube";
  // A quarter turn and then some: local +x now points along (cos 1, 0, -sin 1).
  EXPECT_NEAR(cube.modelMatrix[0][0], std::cos(1.0f), 1e-5f);
  EXPECT_NEAR(cube.modelMatrix[0][2], -std::sin(1.0f), 1e-5f);
  cube.turn(-1.0f);
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) EXPECT_NEAR(cube.modelMatrix[c][r], start[c][r], 1e-5f);
}

TEST_F(CubeTest, DestructionReleasesItsObjects) {
  GLuint names[4] = {};
  {
    Cube cube(glm::mat4(1.0f), program.get());
    names[0] = cube.positionBuffer;
    names[1] = cube.normalBuffer;
    names[2] = cube.indexBuffer;
    names[3] = cube.vertexArray;
    for (GLuint i = 0; i < 3; ++i) EXPECT_TRUE(glIsBuffer(names[i]));
    EXPECT_TRUE(glIsVertexArray(names[3]));
  }
  for (GLuint i = 0; i < 3; ++i) EXPECT_FALSE(glIsBuffer(names[i]));
  EXPECT_FALSE(glIsVertexArray(names[3]));
}

}  // namespace
}  // namespace varn::scene
