// The game's GLSL programs, built from the real files under Shader/ by the game's own loader
// (a file that does not compile or link ends the test process with its log): they declare
// what the game looks up, and shade the way the passes rely on.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "GlTest.h"
#include "assets/ParticleSystem.h"
#include "render/Shader.h"

namespace varn::test {
namespace {

using render::Shader;

GLenum uniformType(GLuint program, const char* name) {
  GLuint index = GL_INVALID_INDEX;
  glGetUniformIndices(program, 1, &name, &index);
  if (index == GL_INVALID_INDEX) return GL_NONE;
  GLint type = 0;
  glGetActiveUniformsiv(program, 1, &index, GL_UNIFORM_TYPE, &type);
  return static_cast<GLenum>(type);
}

using Uniforms = std::vector<std::pair<const char*, GLenum>>;  // the upload the game makes must fit the type

Uniforms with(Uniforms base, const Uniforms& more) {
  base.insert(base.end(), more.begin(), more.end());
  return base;
}

const Uniforms kPlaced = {{"model", GL_FLOAT_MAT4}, {"view", GL_FLOAT_MAT4}, {"project", GL_FLOAT_MAT4}};
const Uniforms kLit = with(kPlaced, {{"cameraPosition", GL_FLOAT_VEC3},
                                     {"lightPosition", GL_FLOAT_VEC3},
                                     {"light_ambient", GL_FLOAT_VEC3},
                                     {"light_diffuse", GL_FLOAT_VEC3},
                                     {"material_color", GL_FLOAT_VEC3},
                                     {"material_ambient", GL_FLOAT_VEC3},
                                     {"material_diffuse", GL_FLOAT_VEC3},
                                     {"material_specular", GL_FLOAT_VEC3},
                                     {"material_shininess", GL_FLOAT}});
const Uniforms kShadowedLit = with(
    kLit,
    {{"M_Vl_Pl_L_Matrix", GL_FLOAT_MAT4}, {"shadowMap", GL_SAMPLER_2D_SHADOW}, {"texture_diffuse1", GL_SAMPLER_2D}});

struct ProgramCase {
  const char* label;
  const char* vertex;
  const char* fragment;
  Uniforms uniforms;
  bool drawsModels;  // current while Model meshes are drawn, so reads the mesh attribute locations
};
void PrintTo(const ProgramCase& program, std::ostream* os) { *os << program.label; }

class ProgramTest : public GlTest, public ::testing::WithParamInterface<ProgramCase> {};

TEST_P(ProgramTest, LinksAndDeclaresEveryUniformTheGameSets) {
  const ProgramCase& program = GetParam();
  const Shader shader(std::string("Shader/") + program.vertex, std::string("Shader/") + program.fragment);
  for (const auto& [name, type] : program.uniforms) {
    EXPECT_NE(glGetUniformLocation(shader.programHandle, name), -1) << name << " is missing or unused";
    EXPECT_EQ(uniformType(shader.programHandle, name), type) << name;
  }
  if (!program.drawsModels) return;
  // Meshes feed position, normal and texture coordinates at locations 0, 1, 2 (the last two may go unused).
  for (const auto& [name, location] : {std::pair{"position", 0}, {"normal", 1}, {"texCoords", 2}}) {
    const GLint found = glGetAttribLocation(shader.programHandle, name);
    EXPECT_TRUE(found == location || (found == -1 && location > 0)) << name << " at " << found;
  }
}

INSTANTIATE_TEST_SUITE_P(
    GamePrograms, ProgramTest,
    ::testing::Values(
        ProgramCase{"Depth", "Depth.vert", "Depth.frag", {{"M_Vl_Pl_Matrix", GL_FLOAT_MAT4}}, true},
        ProgramCase{"DebugQuad", "debug_quad.vert", "debug_quad_depth.frag",
                    Uniforms{{"near_plane", GL_FLOAT}, {"far_plane", GL_FLOAT}}, false},
        ProgramCase{"SimpleMaterial", "blinn_phong.vert", "blinn_phong.frag", kLit, false},
        ProgramCase{"TexturedBlinnPhong", "blinn_phong_tex.vert", "blinn_phong_tex.frag", kShadowedLit, true},
        ProgramCase{"Silhouette", "silhoutte.vert", "silhoutte.frag",
                    with(kPlaced, {{"offset1", GL_FLOAT}, {"color1", GL_FLOAT_VEC3}, {"alpha", GL_FLOAT}}), true},
        ProgramCase{"Cel", "cel.vert", "cel.frag", kShadowedLit, true},
        ProgramCase{"Transparency", "transparent.vert", "transparent.frag",
                    with(kPlaced, {{"color", GL_FLOAT_VEC3}, {"alpha", GL_FLOAT}}), true}),
    [](const ::testing::TestParamInfo<ProgramCase>& info) { return info.param.label; });

class ParticlePrograms : public GlTest {};

TEST_F(ParticlePrograms, CaptureTheParticleRecordInOrderAndDeclareTheirInputs) {
  const assets::ParticleSystem system;
  const GLuint update = system.updateProgram->programHandle;
  GLint count = 0;
  glGetProgramiv(update, GL_TRANSFORM_FEEDBACK_VARYINGS, &count);
  ASSERT_EQ(count, 6);
  // The captured record must match assets::Particle field by field; the type is captured as its bits.
  const std::pair<const char*, GLenum> outputs[6] = {{"vPositionOut", GL_FLOAT_VEC3}, {"vVelocityOut", GL_FLOAT_VEC3},
                                                     {"vColorOut", GL_FLOAT_VEC3},    {"fLifeTimeOut", GL_FLOAT},
                                                     {"fSizeOut", GL_FLOAT},          {"iTypeOut", GL_INT}};
  for (GLuint i = 0; i < 6; ++i) {
    char name[64] = {0};
    GLsizei size = 0;
    GLenum type = GL_NONE;
    glGetTransformFeedbackVarying(update, i, sizeof(name), nullptr, &size, &type, name);
    EXPECT_EQ(std::make_tuple(std::string(name), type, size), std::make_tuple(outputs[i].first, outputs[i].second, 1));
  }
  GLint maxOutput = 0;
  glGetProgramiv(update, GL_GEOMETRY_VERTICES_OUT, &maxOutput);
  EXPECT_LE(maxOutput, 85) << "more output vertices than every implementation accepts";
  EXPECT_GE(maxOutput, 41) << "the generator and the largest preset's 40 new particles";
  for (const char* name : {"fTimePassed", "vGenPosition", "vGenVelocityMin", "vGenVelocityRange", "vGenColor",
                           "vGenGravityVector", "fGenLifeMin", "fGenLifeRange", "fGenSize", "vRandomSeed"})
    EXPECT_NE(glGetUniformLocation(update, name), -1) << name;
  EXPECT_EQ(uniformType(update, "iNumToGenerate"), static_cast<GLenum>(GL_INT));
  const GLuint render = system.renderProgram->programHandle;
  for (const char* name : {"matrices.mProj", "matrices.mView", "vQuad1", "vQuad2"})
    EXPECT_NE(glGetUniformLocation(render, name), -1) << name;
  EXPECT_EQ(glGetAttribLocation(render, "vPosition"), 0);
}

// ---------------------------------------------------------------------------------------
// Shading of a floor quad seen from straight above, read back from a corner of the window.

constexpr int kTarget = 64;

class ShadingTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    glViewport(0, 0, kTarget, kTarget);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glGenTextures(2, textures_);
    const unsigned char white[4] = {255, 255, 255, 255};  // the mesh's diffuse texture on unit 0
    glBindTexture(GL_TEXTURE_2D, textures_[0]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    // The shadow map on unit 2 as render set-up makes it, but left at the default (repeating) wrap mode.
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, textures_[1]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LESS);
    fillShadowMap(1.0f);
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

  // Every texel of the 16 x 16 shadow map (on unit 2) at one stored depth: 0 hides everything it covers.
  static void fillShadowMap(float storedDepth) {
    const std::vector<float> texels(16 * 16, storedDepth);
    glActiveTexture(GL_TEXTURE2);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, 16, 16, 0, GL_DEPTH_COMPONENT, GL_FLOAT, texels.data());
    glActiveTexture(GL_TEXTURE0);
  }

  // A quad in the y = 0 plane, x and z in [-1, 1], normals per corner (-1, -1), (1, -1), (1, 1), (-1, 1) in x, z.
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

  // The frame's lit uniforms: the light looks straight down from lightPosition, the floor is moved to centre.
  static void setLitScene(GLuint program, glm::vec3 centre, glm::vec3 lightPosition = glm::vec3(0, 6, 0)) {
    glUseProgram(program);
    const auto matrix = [&](const char* name, const glm::mat4& m) {
      glUniformMatrix4fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(m));
    };
    const auto vec3 = [&](const char* name, glm::vec3 v) {
      glUniform3fv(glGetUniformLocation(program, name), 1, glm::value_ptr(v));
    };
    const glm::mat4 model = glm::translate(glm::mat4(1.0f), centre);
    const glm::mat4 lightView = glm::lookAt(lightPosition, lightPosition - glm::vec3(0, 1, 0), glm::vec3(0, 0, -1));
    const glm::mat4 bias =
        glm::translate(glm::mat4(1.0f), glm::vec3(0.5f)) * glm::scale(glm::mat4(1.0f), glm::vec3(0.5f));
    matrix("model", model);
    matrix("view", glm::lookAt(centre + glm::vec3(0, 5, 0), centre, glm::vec3(0, 0, -1)));
    matrix("project", glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, 0.1f, 20.0f));
    matrix("M_Vl_Pl_L_Matrix", bias * glm::perspective(1.7453293f, 1.0f, 2.0f, 10.0f) * lightView * model);
    vec3("lightPosition", lightPosition);
    vec3("light_ambient", glm::vec3(0.3f, 0.0f, 0.0f));
    vec3("light_diffuse", glm::vec3(1.0f, 0.5f, 0.5f));
    vec3("cameraPosition", centre + glm::vec3(0, 5, 0));
    for (const char* name : {"material_color", "material_ambient", "material_diffuse", "material_specular"})
      vec3(name, glm::vec3(1.0f));
    glUniform1f(glGetUniformLocation(program, "material_shininess"), 128.0f);
    glUniform1i(glGetUniformLocation(program, "texture_diffuse1"), 0);
    glUniform1i(glGetUniformLocation(program, "shadowMap"), 2);
  }

  // Draws the floor quad into a cleared target and reads it back as RGBA.
  std::vector<unsigned char> drawFloor(GLuint program, glm::vec3 centre, glm::vec3 light,
                                       std::vector<glm::vec3> normals) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    setLitScene(program, centre, light);
    drawFloorQuad(normals);
    std::vector<unsigned char> pixels(kTarget * kTarget * 4);
    glReadPixels(0, 0, kTarget, kTarget, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  // Mean of red + green + blue over the floor drawn at centre, 0 .. 765.
  double floorBrightness(GLuint program, glm::vec3 centre, float storedDepth) {
    fillShadowMap(storedDepth);
    const std::vector<unsigned char> pixels =
        drawFloor(program, centre, glm::vec3(0, 6, 0), std::vector<glm::vec3>(4, glm::vec3(0, 1, 0)));
    double sum = 0.0;
    for (size_t i = 0; i < pixels.size(); i += 4) sum += pixels[i] + pixels[i + 1] + pixels[i + 2];
    return sum / (kTarget * kTarget);
  }

  GLuint textures_[2] = {0, 0};
  GLuint vertexArray_ = 0, vertexBuffer_ = 0;
};

TEST_F(ShadingTest, ShadowsDarkenButNeverToBlackAndWhatTheLightsMapDoesNotCoverReadsLit) {
  for (const char* name : {"blinn_phong_tex", "cel"}) {
    SCOPED_TRACE(name);
    const Shader shader(std::string("Shader/") + name + ".vert", std::string("Shader/") + name + ".frag");
    const double lit = floorBrightness(shader.programHandle, glm::vec3(0.0f), 1.0f);
    const double hidden = floorBrightness(shader.programHandle, glm::vec3(0.0f), 0.0f);
    EXPECT_LT(hidden, 0.6 * lit) << "a caster between floor and light must shade it";
    EXPECT_GT(hidden, 20.0) << "the shadowed floor keeps some light";
    // Far off the side of the light's view (a repeating map would wrap it back in), and 12 units below a
    // light whose far plane is at 10.
    for (const glm::vec3& centre : {glm::vec3(0, 0, -30), glm::vec3(25, 0, 0), glm::vec3(0, -6, 0)}) {
      EXPECT_NEAR(floorBrightness(shader.programHandle, centre, 0.0f),
                  floorBrightness(shader.programHandle, centre, 1.0f), 0.5)
          << "floor at " << centre.x << ", " << centre.y << ", " << centre.z;
    }
  }
}

TEST_F(ShadingTest, CelShadingFallsIntoFewBandsWhereBlinnPhongIsSmooth) {
  // Normals turn from straight up on the left edge to sideways on the right: the diffuse term sweeps from full to none.
  const std::vector<glm::vec3> normals = {{0, 1, 0}, {1, 0.05f, 0}, {1, 0.05f, 0}, {0, 1, 0}};
  const auto distinctColours = [&](const char* name) {
    const Shader shader(std::string("Shader/") + name + ".vert", std::string("Shader/") + name + ".frag");
    const std::vector<unsigned char> pixels = drawFloor(shader.programHandle, glm::vec3(0.0f), {0, 3, 0}, normals);
    std::set<std::tuple<int, int, int>> colours;
    const size_t row = kTarget / 3;  // away from the highlight straight under the light
    for (size_t i = row * kTarget * 4; i < (row + 1) * kTarget * 4; i += 4)
      colours.insert({pixels[i], pixels[i + 1], pixels[i + 2]});
    return colours.size();
  };
  EXPECT_LE(distinctColours("cel"), 6u);
  EXPECT_GE(distinctColours("blinn_phong_tex"), 16u);
}

}  // namespace
}  // namespace varn::test
