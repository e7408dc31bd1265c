// The built-in cube (built at set-up, never drawn by a pass): its buffers and their release.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "GlTest.h"
#include "TempDir.h"
#include "assets/Cube.h"
#include "render/Shader.h"

namespace varn::test {
namespace {

std::unique_ptr<render::Shader> programFrom(const std::string& vertex, const std::string& fragment) {
  const TempDir dir;  // each test process writes its own files: tests run in parallel
  return std::make_unique<render::Shader>(dir.write("cube.vert", "#version 430 core\n" + vertex),
                                          dir.write("cube.frag", "#version 430 core\n" + fragment));
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

class CubeTest : public GlTest {};

TEST_F(CubeTest, TwelveTrianglesWoundOutwardsOnSixFacesReleasedWithTheCube) {
  const auto program = programFrom(
      "in vec3 position; in vec3 normal; out vec3 n; void main() { n = normal; gl_Position = vec4(position, 1.0); }\n",
      "in vec3 n; out vec4 colour; void main() { colour = vec4(n, 1.0); }\n");
  GLuint buffers[3] = {}, vertexArray = 0;
  {
    scene::Cube cube(glm::mat4(1.0f), program.get());
    const auto positions = bufferContents<float>(GL_ARRAY_BUFFER, cube.positionBuffer);
    const auto normals = bufferContents<float>(GL_ARRAY_BUFFER, cube.normalBuffer);
    const auto indices = bufferContents<GLuint>(GL_ELEMENT_ARRAY_BUFFER, cube.indexBuffer);
    ASSERT_EQ(indices.size(), 36u) << "the draw call reads 36 indices";
    const auto at = [](const std::vector<float>& data, GLuint i) {
      return i * 3 + 2 < data.size() ? glm::vec3(data[3 * i], data[3 * i + 1], data[3 * i + 2]) : glm::vec3(0.0f);
    };
    std::set<std::tuple<float, float, float>> faces;
    for (size_t t = 0; t < 12; ++t) {
      const glm::vec3 p0 = at(positions, indices[3 * t]), n = at(normals, indices[3 * t]);
      const glm::vec3 p1 = at(positions, indices[3 * t + 1]), p2 = at(positions, indices[3 * t + 2]);
      // Counter-clockwise seen from outside: the winding normal points along the face normal, away from the centre.
      EXPECT_GT(glm::dot(glm::cross(p1 - p0, p2 - p0), n), 0.0f) << "triangle " << t;
      EXPECT_GT(glm::dot(p0, n), 0.0f) << "triangle " << t << " has an inward normal";
      faces.insert({n.x, n.y, n.z});
    }
    EXPECT_EQ(faces.size(), 6u);
    buffers[0] = cube.positionBuffer, buffers[1] = cube.normalBuffer, buffers[2] = cube.indexBuffer;
    vertexArray = cube.vertexArray;
  }
  for (GLuint buffer : buffers) EXPECT_FALSE(glIsBuffer(buffer));
  EXPECT_FALSE(glIsVertexArray(vertexArray));

  // A program without "normal" (location -1) still gives a cube, and no GL error (checked after the test).
  const auto positionsOnly = programFrom("in vec3 position; void main() { gl_Position = vec4(position, 1.0); }\n",
                                         "out vec4 colour; void main() { colour = vec4(1.0); }\n");
  ASSERT_EQ(glGetAttribLocation(positionsOnly->programHandle, "normal"), -1);
  scene::Cube plain(glm::mat4(1.0f), positionsOnly.get());
}

}  // namespace
}  // namespace varn::test
