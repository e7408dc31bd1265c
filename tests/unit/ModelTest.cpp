// The model loader and textures on small files written by the tests: mesh order, corners,
// vertex defaults, texture de-duplication and placeholders, sampling, sampler names and failures.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "GlTest.h"
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
  stbi_write_png((dir.path() / name).c_str(), width, height, 3, pixels.data(), width * 3);
}

void solidPng(const TempDir& dir, const std::string& name, int r, int g, int b) {
  writePng(dir, name, 2, 2, [=](int, int, int c) { return c == 0 ? r : (c == 1 ? g : b); });
}

std::vector<unsigned char> readTexture(GLuint id, int& width, int& height) {
  glBindTexture(GL_TEXTURE_2D, id);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  std::vector<unsigned char> texels(static_cast<size_t>(width * height * 3));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D, 0);
  return texels;
}

// An OBJ triangle (vertices 1 to 3) with one texture coordinate and one normal, under a material.
const char* const kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n";

class ModelLoading : public GlTest {
 protected:
  TempDir dir;
};

TEST_F(ModelLoading, WalksNodesDepthFirstWithTheRootsMeshesFirst) {
  // A glTF scene whose root node holds two meshes (primitives) and whose child node holds
  // a third; the triangles sit at x = 1, 2 and 3 so the order can be told apart.
  std::string bin, accessors;
  for (int tri = 1; tri <= 3; ++tri) {
    for (const float p : {1.0f * tri, 0.0f, 0.0f, 1.0f * tri, 1.0f, 0.0f, 1.0f * tri, 0.0f, 1.0f})
      bin.append(reinterpret_cast<const char*>(&p), sizeof(p));
    const std::string x = std::to_string(tri);
    accessors += std::string(tri > 1 ? "," : "") + R"({"bufferView":0,"byteOffset":)" + std::to_string(36 * (tri - 1)) +
                 R"(,"componentType":5126,"count":3,"type":"VEC3","min":[)" + x + ",0,0],\"max\":[" + x + ",1,1]}";
  }
  dir.write("tree.bin", bin);
  const std::string gltf = dir.write(
      "tree.gltf", R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],)"
                   R"("nodes":[{"name":"root","mesh":0,"children":[1]},{"name":"child","mesh":1}],)"
                   R"("meshes":[{"primitives":[{"attributes":{"POSITION":0}},{"attributes":{"POSITION":1}}]},)"
                   R"({"primitives":[{"attributes":{"POSITION":2}}]}],)"
                   R"("buffers":[{"byteLength":108,"uri":"tree.bin"}],"bufferViews":[{"buffer":0,"byteLength":108}],)"
                   R"("accessors":[)" +
                       accessors + "]}");
  const Model model(gltf.c_str(), nullptr);
  ASSERT_EQ(model.meshes.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    ASSERT_FALSE(model.meshes[i].vertices.empty());
    EXPECT_FLOAT_EQ(model.meshes[i].vertices[0].position.x, static_cast<float>(i + 1)) << "mesh " << i;
  }
}

TEST_F(ModelLoading, CornersStartAtThousandsPerMeshAndAtTheOriginForTheModel) {
  // One triangle far out beyond +1000 in x, one close by at x > 0.
  const std::string path = dir.write("far.obj",
                                     "o far\nv 1500 2 -3\nv 1600 4 -5\nv 1550 3 -4\nf 1 2 3\n"
                                     "o near\nv 1 2 -3\nv 2 5 -1\nv 3 3 -2\nf 4 5 6\n");
  const Model model(path.c_str(), nullptr);
  ASSERT_EQ(model.meshes.size(), 2u);
  // Least x only moves below its start of 1000, so a mesh beyond 1000 keeps 1000.
  EXPECT_EQ(model.meshes[0].cornerA, glm::vec3(1000.0f, 2.0f, -3.0f));
  EXPECT_EQ(model.meshes[0].cornerB, glm::vec3(1600.0f, 4.0f, -5.0f));
  EXPECT_EQ(model.meshes[1].cornerA, glm::vec3(1.0f, 2.0f, -1.0f));
  EXPECT_EQ(model.meshes[1].cornerB, glm::vec3(3.0f, 5.0f, -3.0f));
  // The model's corners include the origin: every x is positive, yet least x is 0;
  // every z is negative, yet greatest z is 0.
  EXPECT_EQ(model.cornerA, glm::vec3(0.0f));
  EXPECT_EQ(model.cornerB, glm::vec3(1600.0f, 5.0f, -5.0f));
}

TEST_F(ModelLoading, MissingAttributesGetDefaultsQuadsAreTriangulatedAndTextureRowsFlipped) {
  // No normals, no texture coordinates, no colours; one quad face.
  const Model bare(dir.write("bare.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n").c_str(), nullptr);
  ASSERT_EQ(bare.meshes.size(), 1u);
  EXPECT_EQ(bare.meshes[0].indices.size(), 6u);
  ASSERT_FALSE(bare.meshes[0].vertices.empty());
  for (const auto& v : bare.meshes[0].vertices) {
    EXPECT_EQ(v.normal, glm::vec3(0.0f));
    EXPECT_EQ(v.texCoords, glm::vec2(0.0f));
    EXPECT_EQ(v.color, glm::vec3(0.7f));
  }
  const Model uv(dir.write("uv.obj",
                           "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.25 0.1\nvt 0.5 0.3\nvt 0.75 1\nvn 0 0 1\n"
                           "f 1/1/1 2/2/1 3/3/1\n")
                     .c_str(),
                 nullptr);
  ASSERT_EQ(uv.meshes.size(), 1u);
  ASSERT_EQ(uv.meshes[0].vertices.size(), 3u);
  EXPECT_FLOAT_EQ(uv.meshes[0].vertices[0].texCoords.x, 0.25f);
  EXPECT_FLOAT_EQ(uv.meshes[0].vertices[0].texCoords.y, 0.9f);
  EXPECT_FLOAT_EQ(uv.meshes[0].vertices[2].texCoords.y, 0.0f);
  EXPECT_EQ(uv.meshes[0].vertices[1].normal, glm::vec3(0.0f, 0.0f, 1.0f));
}

TEST_F(ModelLoading, AMissingFileReportsAssimpsErrorAndLeavesAnEmptyModel) {
  testing::internal::CaptureStdout();
  const Model model("/nonexistent/nowhere.obj", nullptr);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind("ERROR::ASSIMP::", 0), 0u) << out;
  EXPECT_GT(out.size(), std::string("ERROR::ASSIMP::\n").size()) << "with Assimp's own reason";
  EXPECT_TRUE(model.meshes.empty());
  EXPECT_EQ(model.cornerA, glm::vec3(0.0f));
  EXPECT_EQ(model.cornerB, glm::vec3(0.0f));
  model.draw(1, 2);  // draws nothing, and raises no GL error
}

TEST_F(ModelLoading, MaterialsNamingTheSameFileShareOneTextureWithinAModel) {
  solidPng(dir, "bricks.png", 200, 50, 10);
  dir.write("two.mtl", "newmtl first\nmap_Kd bricks.png\nnewmtl second\nmap_Kd bricks.png\nmap_Ks bricks.png\n");
  const std::string path = dir.write("two.obj", std::string("mtllib two.mtl\n") + kTriangle +
                                                    "o a\nusemtl first\nf 1/1/1 2/1/1 3/1/1\n"
                                                    "o b\nusemtl second\nf 1/1/1 3/1/1 2/1/1\n");
  const Model model(path.c_str(), nullptr);
  ASSERT_EQ(model.meshes.size(), 2u);
  ASSERT_EQ(model.texturesLoaded.size(), 1u);
  ASSERT_EQ(model.meshes[0].textures.size(), 1u);
  ASSERT_EQ(model.meshes[1].textures.size(), 2u);
  const GLuint id = model.texturesLoaded[0].id;
  EXPECT_NE(id, 0u);
  EXPECT_EQ(model.meshes[0].textures[0].id, id);
  EXPECT_EQ(model.meshes[1].textures[0].id, id);
  // Listed among the specular textures, but keeping the type of its first load.
  EXPECT_EQ(model.meshes[1].textures[1].id, id);
  EXPECT_EQ(model.meshes[1].textures[1].type, "texture_diffuse");
  EXPECT_STREQ(model.meshes[1].textures[1].path.C_Str(), "bricks.png");
  // Another model of the same file loads its own.
  const Model second(path.c_str(), nullptr);
  ASSERT_EQ(second.texturesLoaded.size(), 1u);
  EXPECT_NE(second.texturesLoaded[0].id, id);
}

TEST_F(ModelLoading, AnUndecodableOrMissingTextureBecomesAOneTexelPlaceholder) {
  dir.write("broken.png", "this is not a png");
  dir.write("m.mtl", "newmtl m\nmap_Kd broken.png\nnewmtl n\nmap_Kd missing.png\n");
  const Model model(dir.write("m.obj", std::string("mtllib m.mtl\n") + kTriangle +
                                           "o a\nusemtl m\nf 1//1 2//1 3//1\no b\nusemtl n\nf 1//1 3//1 2//1\n")
                        .c_str(),
                    nullptr);
  ASSERT_EQ(model.texturesLoaded.size(), 2u);
  for (const auto& texture : model.texturesLoaded) {
    int width = 0, height = 0;
    EXPECT_EQ(readTexture(texture.id, width, height), (std::vector<unsigned char>{255, 0, 255}));
    EXPECT_EQ(width, 1);
    EXPECT_EQ(height, 1);
  }
}

TEST_F(ModelLoading, RgbRowsThatAreNotAMultipleOfFourBytesAreNotSheared) {
  // 15 bytes per row; each texel encodes its own coordinates, to catch sheared rows.
  const auto texel = [](int x, int y, int c) { return c == 0 ? x * 40 + 1 : (c == 1 ? y * 40 : 7); };
  writePng(dir, "odd.png", 5, 3, texel);
  const GLuint id = assets::textureFromFile("odd.png", dir.path().string());
  int width = 0, height = 0;
  const auto texels = readTexture(id, width, height);
  ASSERT_EQ(width, 5);
  ASSERT_EQ(height, 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) EXPECT_EQ(texels[3 * (y * width + x) + c], texel(x, y, c)) << x << "," << y;
  glDeleteTextures(1, &id);
}

TEST_F(ModelLoading, SamplingSettingsMapToFilterParameters) {
  GLuint id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  struct Case {
    int filter, mipmap;
    GLint mag, min;
  };
  for (const Case& c : {Case{0, 0, GL_NEAREST, GL_NEAREST}, Case{0, 1, GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST},
                        Case{0, 2, GL_NEAREST, GL_NEAREST_MIPMAP_LINEAR}, Case{1, 0, GL_LINEAR, GL_LINEAR},
                        Case{1, 1, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST}, Case{1, 2, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR},
                        Case{7, 9, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR}}) {
    assets::applySampling(c.filter, c.mipmap);
    GLint mag = 0, min = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    EXPECT_EQ(mag, c.mag) << c.filter << "/" << c.mipmap;
    EXPECT_EQ(min, c.min) << c.filter << "/" << c.mipmap;
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  glDeleteTextures(1, &id);
}

TEST_F(ModelLoading, DrawingBindsDiffuseAndSpecularToTheirUnitsAndSamplers) {
  solidPng(dir, "d.png", 255, 0, 0);
  solidPng(dir, "s.png", 0, 255, 0);
  dir.write("m.mtl", "newmtl m\nmap_Kd d.png\nmap_Ks s.png\n");
  const std::string path =
      dir.write("m.obj", std::string("mtllib m.mtl\n") + kTriangle + "usemtl m\nf 1/1/1 2/1/1 3/1/1\n");
  auto shader = render::makeSimpleShader(
      dir.write("s.vert",
                "#version 430 core\nlayout(location = 0) in vec3 position;\n"
                "void main() { gl_Position = vec4(position, 1.0); }\n"),
      dir.write("s.frag",
                "#version 430 core\nuniform sampler2D texture_diffuse1;\nuniform sampler2D texture_specular1;\n"
                "out vec4 colour;\nvoid main() { colour = texture(texture_diffuse1, vec2(0.5)) +"
                " texture(texture_specular1, vec2(0.5)); }\n"));
  const Model model(path.c_str(), shader.get());
  ASSERT_EQ(model.meshes.size(), 1u);
  ASSERT_EQ(model.meshes[0].textures.size(), 2u);

  const GLuint program = shader->programHandle;
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "texture_diffuse1"), 5);
  glUniform1i(glGetUniformLocation(program, "texture_specular1"), 6);
  model.draw(0, 0);
  GLint diffuseUnit = -1, specularUnit = -1, min = 0, active = 0, bound = -1;
  glGetUniformiv(program, glGetUniformLocation(program, "texture_diffuse1"), &diffuseUnit);
  glGetUniformiv(program, glGetUniformLocation(program, "texture_specular1"), &specularUnit);
  EXPECT_EQ(diffuseUnit, 0);
  EXPECT_EQ(specularUnit, 1);
  // The sampling settings were applied to the textures the draw bound.
  glBindTexture(GL_TEXTURE_2D, model.meshes[0].textures[1].id);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
  EXPECT_EQ(min, GL_NEAREST);
  glBindTexture(GL_TEXTURE_2D, 0);
  // After drawing, the units are unbound again and the last one used stays active.
  glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
  EXPECT_EQ(active, GL_TEXTURE1);
  glActiveTexture(GL_TEXTURE0);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, 0);
  glUseProgram(0);
}

}  // namespace
}  // namespace varn::test
