// The model loader and textures on small files written by the tests: shared textures, flipped rows and
// what a mesh draw binds. Broken files: BadAssetsTest.
#include <gtest/gtest.h>

#include <vector>

#include "GlTest.h"
#include "Screenshot.h"
#include "TempDir.h"
#include "assets/Model.h"
#include "assets/Texture.h"
#include "render/Shader.h"

namespace varn::test {
namespace {

using assets::Model;

// Writes an RGB PNG whose texel (x, y) comes from texel(x, y, channel).
template <typename Texel>
void writePng(const TempDir& dir, const std::string& name, int width, int height, Texel texel) {
  std::vector<unsigned char> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) pixels.push_back(static_cast<unsigned char>(texel(x, y, c)));
  ASSERT_TRUE(savePng((dir.path() / name).string(), width, height, 3, pixels));
}

// An OBJ triangle (vertices 1 to 3) with one texture coordinate and one normal.
const char* const kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.25 0.2\nvn 0 0 1\n";

class ModelLoading : public GlTest {
 protected:
  TempDir dir;
};

TEST_F(ModelLoading, MaterialsNamingOneFileShareItsTextureAndTextureRowsAreFlipped) {
  writePng(dir, "bricks.png", 2, 2, [](int, int, int c) { return 60 * c; });
  dir.write("m.mtl", "newmtl a\nmap_Kd bricks.png\nnewmtl b\nmap_Kd bricks.png\n");
  const Model model(dir.write("m.obj", std::string("mtllib m.mtl\n") + kTriangle +
                                           "o a\nusemtl a\nf 1/1/1 2/1/1 3/1/1\no b\nusemtl b\nf 1/1/1 3/1/1 2/1/1\n")
                        .c_str(),
                    nullptr);
  ASSERT_EQ(model.meshes.size(), 2u);
  ASSERT_EQ(model.texturesLoaded.size(), 1u);
  EXPECT_EQ(model.meshes[1].textures.at(0).id, model.meshes[0].textures.at(0).id);
  EXPECT_EQ(model.meshes[0].vertices[0].texCoords, glm::vec2(0.25f, 0.8f))
      << "images start at the top, OpenGL at the bottom";
}

TEST_F(ModelLoading, ADrawGivesEachTextureItsNumberedSamplerAndUnitAndTheSamplingOfTheToggles) {
  const render::Shader program(
      dir.write("s.vert",
                "#version 430 core\nlayout(location = 0) in vec3 p;\nvoid main() { gl_Position = vec4(p, 1.0); }\n"),
      dir.write("s.frag",
                "#version 430 core\nuniform sampler2D texture_diffuse1, texture_diffuse2, texture_specular1;\n"
                "out vec4 c;\nvoid main() { c = texture(texture_diffuse1, vec2(0.0)) + texture(texture_diffuse2, "
                "vec2(0.0)) + texture(texture_specular1, vec2(0.0)); }\n"));
  writePng(dir, "t.png", 2, 2, [](int x, int, int) { return 100 * x; });
  std::vector<assets::Texture> textures(3);
  for (size_t i = 0; i < 3; ++i) {
    textures[i].id = assets::textureFromFile("t.png", dir.path().string());
    textures[i].type = i == 1 ? "texture_specular" : "texture_diffuse";
  }
  const assets::Mesh mesh({assets::Vertex{}, assets::Vertex{}, assets::Vertex{}}, {0, 1, 2}, textures, nullptr);
  glUseProgram(program.programHandle);
  const struct {
    int filter, mipmap;
    GLint mag, min;
  } modes[] = {{0, 0, GL_NEAREST, GL_NEAREST},
               {1, 0, GL_LINEAR, GL_LINEAR},
               {0, 1, GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST},
               {1, 1, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
               {0, 2, GL_NEAREST, GL_NEAREST_MIPMAP_LINEAR},
               {1, 2, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR}};
  for (const auto& m : modes) {
    mesh.draw(m.filter, m.mipmap);
    for (const assets::Texture& texture : textures) {
      GLint mag = 0, min = 0;
      glBindTexture(GL_TEXTURE_2D, texture.id);
      glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
      glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
      EXPECT_EQ(std::make_pair(mag, min), std::make_pair(m.mag, m.min)) << m.filter << ", " << m.mipmap;
    }
  }
  // Numbered per kind, on units in the mesh's order.
  for (const auto& [name, unit] :
       {std::pair{"texture_diffuse1", 0}, {"texture_specular1", 1}, {"texture_diffuse2", 2}}) {
    GLint value = -1;
    glGetUniformiv(program.programHandle, glGetUniformLocation(program.programHandle, name), &value);
    EXPECT_EQ(value, unit) << name;
  }
  glUseProgram(0);
  glBindTexture(GL_TEXTURE_2D, 0);
  for (const assets::Texture& texture : textures) glDeleteTextures(1, &texture.id);
}

}  // namespace
}  // namespace varn::test
