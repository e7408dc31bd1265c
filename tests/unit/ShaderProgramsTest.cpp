// The game's GLSL programs, built from the real files under Shader/: they compile and
// link, declare what the game looks up, and shade the way the passes rely on.
#include <gtest/gtest.h>

#include <fstream>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "GlTest.h"

namespace {

// ---------------------------------------------------------------------------------------
// Building programs with their logs reported as test failures (the game's loader ends
// the process instead, which would hide which file broke).

GLuint compileStage(const std::string& path, GLenum type) {
  std::ifstream file(path);
  if (!file.good()) {
    ADD_FAILURE() << "cannot open " << path << " (run the tests from the repository root)";
    return 0;
  }
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const GLuint shader = glCreateShader(type);
  const char* source = text.c_str();
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint compiled = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (!compiled) {
    char log[4096] = {0};
    glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
    ADD_FAILURE() << path << " does not compile:\n" << log;
  }
  return shader;
}

// Links vertex (+ geometry) + fragment; with varyings, captures them interleaved.
GLuint buildProgram(const std::string& vertex, const std::string& geometry, const std::string& fragment,
                    const std::vector<const char*>& varyings = {}) {
  const GLuint program = glCreateProgram();
  std::vector<GLuint> shaders = {compileStage("Shader/" + vertex, GL_VERTEX_SHADER),
                                 compileStage("Shader/" + fragment, GL_FRAGMENT_SHADER)};
  if (!geometry.empty()) shaders.push_back(compileStage("Shader/" + geometry, GL_GEOMETRY_SHADER));
  for (GLuint shader : shaders) glAttachShader(program, shader);
  if (!varyings.empty()) {
    glTransformFeedbackVaryings(program, static_cast<GLsizei>(varyings.size()), varyings.data(),
                                GL_INTERLEAVED_ATTRIBS);
  }
  glLinkProgram(program);
  GLint linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!linked) {
    char log[4096] = {0};
    glGetProgramInfoLog(program, sizeof(log), nullptr, log);
    ADD_FAILURE() << vertex << " + " << geometry << " + " << fragment << " do not link:\n" << log;
  }
  for (GLuint shader : shaders) glDeleteShader(shader);  // freed with the program
  return program;
}

GLenum uniformType(GLuint program, const char* name) {
  GLuint index = GL_INVALID_INDEX;
  glGetUniformIndices(program, 1, &name, &index);
  if (index == GL_INVALID_INDEX) return GL_NONE;
  GLint type = 0;
  glGetActiveUniformsiv(program, 1, &index, GL_UNIFORM_TYPE, &type);
  return static_cast<GLenum>(type);
}

struct UniformSpec {
  const char* name;
  GLenum type;  // the upload the game makes must fit it
};

struct TwoStageSpec {
  const char* label;
  const char* vertex;
  const char* fragment;
  std::vector<UniformSpec> uniforms;
  bool drawsModels;  // current while Model meshes are drawn, so reads the mesh attribute locations
};

const std::vector<UniformSpec> kLitUniforms = {
    {"model", GL_FLOAT_MAT4},
    {"view", GL_FLOAT_MAT4},
    {"project", GL_FLOAT_MAT4},
    {"cameraPosition", GL_FLOAT_VEC3},
    {"lightPosition", GL_FLOAT_VEC3},
    {"light_ambient", GL_FLOAT_VEC3},
    {"light_diffuse", GL_FLOAT_VEC3},
    {"material_color", GL_FLOAT_VEC3},
    {"material_ambient", GL_FLOAT_VEC3},
    {"material_diffuse", GL_FLOAT_VEC3},
    {"material_specular", GL_FLOAT_VEC3},
    {"material_shininess", GL_FLOAT},
};

std::vector<UniformSpec> shadowedLitUniforms() {
  std::vector<UniformSpec> uniforms = kLitUniforms;
  uniforms.push_back({"M_Vl_Pl_L_Matrix", GL_FLOAT_MAT4});
  uniforms.push_back({"shadowMap", GL_SAMPLER_2D_SHADOW});
  uniforms.push_back({"texture_diffuse1", GL_SAMPLER_2D});
  return uniforms;
}

std::vector<TwoStageSpec> twoStagePrograms() {
  return {
      {"Depth", "Depth.vert", "Depth.frag", {{"M_Vl_Pl_Matrix", GL_FLOAT_MAT4}}, true},
      {"DebugQuad",
       "debug_quad.vert",
       "debug_quad_depth.frag",
       {{"near_plane", GL_FLOAT}, {"far_plane", GL_FLOAT}},
       false},
      {"SimpleMaterial", "blinn_phong.vert", "blinn_phong.frag", kLitUniforms, false},
      {"TexturedBlinnPhong", "blinn_phong_tex.vert", "blinn_phong_tex.frag", shadowedLitUniforms(), true},
      {"Silhouette",
       "silhoutte.vert",
       "silhoutte.frag",
       {{"model", GL_FLOAT_MAT4},
        {"view", GL_FLOAT_MAT4},
        {"project", GL_FLOAT_MAT4},
        {"offset1", GL_FLOAT},
        {"color1", GL_FLOAT_VEC3},
        {"alpha", GL_FLOAT}},
       true},
      {"Cel", "cel.vert", "cel.frag", shadowedLitUniforms(), true},
      {"Transparency",
       "transparent.vert",
       "transparent.frag",
       {{"model", GL_FLOAT_MAT4},
        {"view", GL_FLOAT_MAT4},
        {"project", GL_FLOAT_MAT4},
        {"color", GL_FLOAT_VEC3},
        {"alpha", GL_FLOAT}},
       true},
  };
}

class TwoStageProgramTest : public varn::test::GlTest, public ::testing::WithParamInterface<TwoStageSpec> {};

TEST_P(TwoStageProgramTest, LinksAndDeclaresEveryUniformTheGameSets) {
  const TwoStageSpec& spec = GetParam();
  const GLuint program = buildProgram(spec.vertex, "", spec.fragment);
  for (const UniformSpec& uniform : spec.uniforms) {
    EXPECT_NE(glGetUniformLocation(program, uniform.name), -1) << uniform.name << " is missing or unused";
    EXPECT_EQ(uniformType(program, uniform.name), uniform.type) << uniform.name;
  }
  if (spec.drawsModels) {
    // Meshes feed position, normal and texture coordinates at fixed locations 0, 1, 2.
    const char* inputs[3] = {"position", "normal", "texCoords"};
    for (GLint location = 0; location < 3; ++location) {
      const GLint found = glGetAttribLocation(program, inputs[location]);
      if (found != -1) {
        EXPECT_EQ(found, location) << inputs[location];
      }
    }
    EXPECT_EQ(glGetAttribLocation(program, "position"), 0);
  }
  glDeleteProgram(program);
}

INSTANTIATE_TEST_SUITE_P(GamePrograms, TwoStageProgramTest, ::testing::ValuesIn(twoStagePrograms()),
                         [](const ::testing::TestParamInfo<TwoStageSpec>& info) { return info.param.label; });

class ShaderProgramsTest : public varn::test::GlTest {};

TEST_F(ShaderProgramsTest, SimpleMaterialOffersTheAttributesTheCubeAsksFor) {
  const GLuint program = buildProgram("blinn_phong.vert", "", "blinn_phong.frag");
  EXPECT_NE(glGetAttribLocation(program, "position"), -1);
  EXPECT_NE(glGetAttribLocation(program, "normal"), -1);
  glDeleteProgram(program);
}

TEST_F(ShaderProgramsTest, ParticleUpdateCapturesTheParticleRecordInOrder) {
  const std::vector<const char*> outputs = {"vPositionOut", "vVelocityOut", "vColorOut",
                                            "fLifeTimeOut", "fSizeOut",     "iTypeOut"};
  const GLuint program = buildProgram("particleUpdate.vert", "particleUpdate.geom", "particleUpdate.frag", outputs);

  GLint count = 0;
  glGetProgramiv(program, GL_TRANSFORM_FEEDBACK_VARYINGS, &count);
  ASSERT_EQ(count, 6);
  const GLenum expectedTypes[6] = {GL_FLOAT_VEC3, GL_FLOAT_VEC3, GL_FLOAT_VEC3, GL_FLOAT, GL_FLOAT, GL_INT};
  const int componentBytes[6] = {12, 12, 12, 4, 4, 4};
  int recordBytes = 0;
  for (GLuint i = 0; i < 6; ++i) {
    char name[64] = {0};
    GLsizei size = 0;
    GLenum type = GL_NONE;
    glGetTransformFeedbackVarying(program, i, sizeof(name), nullptr, &size, &type, name);
    EXPECT_STREQ(name, outputs[i]);
    EXPECT_EQ(type, expectedTypes[i]) << outputs[i] << ": the buffer holds its bits as they are";
    EXPECT_EQ(size, 1);
    recordBytes += componentBytes[i];
  }
  EXPECT_EQ(recordBytes, 48);

  GLint maxOutput = 0;
  glGetProgramiv(program, GL_GEOMETRY_VERTICES_OUT, &maxOutput);
  EXPECT_LE(maxOutput, 85) << "more output vertices than every implementation accepts";
  EXPECT_GE(maxOutput, 41) << "the generator and the largest preset's 40 new particles";

  const char* uniforms[11] = {"fTimePassed", "vGenPosition",      "vGenVelocityMin", "vGenVelocityRange",
                              "vGenColor",   "vGenGravityVector", "fGenLifeMin",     "fGenLifeRange",
                              "fGenSize",    "iNumToGenerate",    "vRandomSeed"};
  for (const char* name : uniforms) EXPECT_NE(glGetUniformLocation(program, name), -1) << name;
  EXPECT_EQ(uniformType(program, "iNumToGenerate"), static_cast<GLenum>(GL_INT));
  glDeleteProgram(program);
}

TEST_F(ShaderProgramsTest, ParticleRenderDeclaresItsMatricesAndQuadAxes) {
  const GLuint program = buildProgram("particleRender.vert", "particleRender.geom", "particleRender.frag");
  for (const char* name : {"matrices.mProj", "matrices.mView", "vQuad1", "vQuad2"}) {
    EXPECT_NE(glGetUniformLocation(program, name), -1) << name;
  }
  EXPECT_EQ(glGetAttribLocation(program, "vPosition"), 0);
  glDeleteProgram(program);
}

// ---------------------------------------------------------------------------------------
// Shading, read back from an offscreen target.

constexpr int kTarget = 64;

class ShadingTest : public varn::test::GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    if (HasFatalFailure()) return;
    glGenTextures(1, &colour_);
    glBindTexture(GL_TEXTURE_2D, colour_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTarget, kTarget, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kTarget, kTarget);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, colour_, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, kTarget, kTarget);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);

    // A 1 x 1 white diffuse texture on unit 0, as a mesh binds its own.
    const unsigned char white[4] = {255, 255, 255, 255};
    glGenTextures(1, &white_);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, white_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);

    // The shadow map as render set-up makes it, left at the default (repeating) wrap mode.
    glGenTextures(1, &shadow_);
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, shadow_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LESS);
    fillShadowMap(1.0f);
    glActiveTexture(GL_TEXTURE0);

    glGenVertexArrays(1, &vertexArray_);
    glGenBuffers(1, &vertexBuffer_);
  }

  void TearDown() override {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteRenderbuffers(1, &depth_);
    const GLuint textures[3] = {colour_, white_, shadow_};
    glDeleteTextures(3, textures);
    glDeleteBuffers(1, &vertexBuffer_);
    glDeleteVertexArrays(1, &vertexArray_);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glUseProgram(0);
    GlTest::TearDown();
  }

  // Every texel of the 16 x 16 shadow map at one stored depth: 0 hides everything it covers.
  void fillShadowMap(float storedDepth) {
    std::vector<float> texels(16 * 16, storedDepth);
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, shadow_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, 16, 16, 0, GL_DEPTH_COMPONENT, GL_FLOAT, texels.data());
    glActiveTexture(GL_TEXTURE0);
  }

  struct QuadVertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 uv;
  };

  // A quad in the y = 0 plane, x and z in [-1, 1]; normals given per corner
  // (order: (-1, -1), (1, -1), (1, 1), (-1, 1) in x, z), counter-clockwise seen from above.
  void drawFloorQuad(const glm::vec3 normals[4]) {
    const QuadVertex corners[4] = {{{-1, 0, 1}, normals[0], {0, 0}},
                                   {{1, 0, 1}, normals[1], {1, 0}},
                                   {{1, 0, -1}, normals[2], {1, 1}},
                                   {{-1, 0, -1}, normals[3], {0, 1}}};
    const QuadVertex strip[6] = {corners[0], corners[1], corners[2], corners[0], corners[2], corners[3]};
    glBindVertexArray(vertexArray_);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glBufferData(GL_ARRAY_BUFFER, sizeof(strip), strip, GL_STREAM_DRAW);
    const auto stride = static_cast<GLsizei>(sizeof(QuadVertex));
    for (GLuint location = 0; location < 3; ++location) glEnableVertexAttribArray(location);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(0));
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(12));
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(24));
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
  }

  void drawFlatFloorQuad() {
    const glm::vec3 up[4] = {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}};
    drawFloorQuad(up);
  }

  static void setMatrix(GLuint program, const char* name, const glm::mat4& m) {
    glUniformMatrix4fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(m));
  }
  static void setVec3(GLuint program, const char* name, glm::vec3 v) {
    glUniform3fv(glGetUniformLocation(program, name), 1, glm::value_ptr(v));
  }

  // The lit-uniform set of the frame, with the light straight above the floor's centre
  // at (0, 6, 0) and the floor moved to `centre`, seen from straight above.
  static void setLitScene(GLuint program, glm::vec3 centre, glm::vec3 lightPosition = glm::vec3(0, 6, 0)) {
    glUseProgram(program);
    const glm::mat4 model = glm::translate(glm::mat4(1.0f), centre);
    const glm::mat4 view = glm::lookAt(centre + glm::vec3(0, 5, 0), centre, glm::vec3(0, 0, -1));
    const glm::mat4 lightView = glm::lookAt(lightPosition, lightPosition - glm::vec3(0, 1, 0), glm::vec3(0, 0, -1));
    const glm::mat4 lightProjection = glm::perspective(1.7453293f, 1.0f, 2.0f, 10.0f);
    const glm::mat4 bias =
        glm::translate(glm::mat4(1.0f), glm::vec3(0.5f)) * glm::scale(glm::mat4(1.0f), glm::vec3(0.5f));
    setMatrix(program, "model", model);
    setMatrix(program, "view", view);
    setMatrix(program, "project", glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, 0.1f, 20.0f));
    setMatrix(program, "M_Vl_Pl_L_Matrix", bias * lightProjection * lightView * model);
    setVec3(program, "lightPosition", lightPosition);
    setVec3(program, "light_ambient", glm::vec3(0.3f, 0.0f, 0.0f));
    setVec3(program, "light_diffuse", glm::vec3(1.0f, 0.5f, 0.5f));
    setVec3(program, "cameraPosition", centre + glm::vec3(0, 5, 0));
    for (const char* name : {"material_color", "material_ambient", "material_diffuse", "material_specular"}) {
      setVec3(program, name, glm::vec3(1.0f));
    }
    glUniform1f(glGetUniformLocation(program, "material_shininess"), 128.0f);
    glUniform1i(glGetUniformLocation(program, "texture_diffuse1"), 0);
    glUniform1i(glGetUniformLocation(program, "shadowMap"), 2);
  }

  std::vector<unsigned char> readTarget() {
    std::vector<unsigned char> pixels(kTarget * kTarget * 4);
    glReadPixels(0, 0, kTarget, kTarget, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  // Mean of red + green + blue over the target, 0 .. 765.
  double meanBrightness() {
    const std::vector<unsigned char> pixels = readTarget();
    double sum = 0.0;
    for (size_t i = 0; i < pixels.size(); i += 4) sum += pixels[i] + pixels[i + 1] + pixels[i + 2];
    return sum / (kTarget * kTarget);
  }

  double floorBrightness(GLuint program, glm::vec3 centre, float storedDepth) {
    fillShadowMap(storedDepth);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    setLitScene(program, centre);
    drawFlatFloorQuad();
    return meanBrightness();
  }

  GLuint framebuffer_ = 0, colour_ = 0, depth_ = 0, white_ = 0, shadow_ = 0;
  GLuint vertexArray_ = 0, vertexBuffer_ = 0;
};

TEST_F(ShadingTest, LitProgramsDarkenWhatTheLightCannotSeeButNeverToBlack) {
  for (const auto& files :
       {std::pair{"blinn_phong_tex.vert", "blinn_phong_tex.frag"}, std::pair{"cel.vert", "cel.frag"}}) {
    SCOPED_TRACE(files.first);
    const GLuint program = buildProgram(files.first, "", files.second);
    const double lit = floorBrightness(program, glm::vec3(0.0f), 1.0f);
    const double hidden = floorBrightness(program, glm::vec3(0.0f), 0.0f);
    EXPECT_LT(hidden, 0.6 * lit) << "a caster between floor and light must shade it";
    EXPECT_GT(hidden, 20.0) << "the shadowed floor keeps some light";
    glDeleteProgram(program);
  }
}

TEST_F(ShadingTest, WhatTheLightsMapDoesNotCoverReadsLit) {
  for (const auto& files :
       {std::pair{"blinn_phong_tex.vert", "blinn_phong_tex.frag"}, std::pair{"cel.vert", "cel.frag"}}) {
    SCOPED_TRACE(files.first);
    const GLuint program = buildProgram(files.first, "", files.second);
    // Far off the side of the light's view (a repeating map would wrap it back in), and
    // 12 units below a light whose far plane is at 10.
    for (const glm::vec3& centre : {glm::vec3(0, 0, -30), glm::vec3(25, 0, 0), glm::vec3(0, -6, 0)}) {
      const double clear = floorBrightness(program, centre, 1.0f);
      const double covered = floorBrightness(program, centre, 0.0f);
      EXPECT_NEAR(covered, clear, 0.5) << "floor at " << centre.x << ", " << centre.y << ", " << centre.z;
    }
    glDeleteProgram(program);
  }
}

TEST_F(ShadingTest, CelShadingFallsIntoFewBandsWhereBlinnPhongIsSmooth) {
  // Normals turn from straight up on the left edge to sideways on the right, so the
  // diffuse term sweeps from full to nothing across the picture.
  const glm::vec3 normals[4] = {{0, 1, 0}, {1, 0.05f, 0}, {1, 0.05f, 0}, {0, 1, 0}};
  const auto distinctColours = [&](const char* vertex, const char* fragment) {
    const GLuint program = buildProgram(vertex, "", fragment);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    setLitScene(program, glm::vec3(0.0f), glm::vec3(0, 3, 0));
    drawFloorQuad(normals);
    const std::vector<unsigned char> pixels = readTarget();
    std::set<std::tuple<int, int, int>> colours;
    const int row = kTarget / 3;  // away from the highlight straight under the light
    for (int x = 0; x < kTarget; ++x) {
      const size_t i = static_cast<size_t>((row * kTarget + x) * 4);
      colours.insert({pixels[i], pixels[i + 1], pixels[i + 2]});
    }
    glDeleteProgram(program);
    return colours.size();
  };
  EXPECT_LE(distinctColours("cel.vert", "cel.frag"), 6u);
  EXPECT_GE(distinctColours("blinn_phong_tex.vert", "blinn_phong_tex.frag"), 16u);
}

TEST_F(ShadingTest, CelRedrawOfTheLevelLeavesTheTexturedPictureUntouched) {
  // The cel pass draws the level again over the textured pass with the same depth test:
  // the two programs must place it at identical depths, or the cel draw z-fights through.
  const GLuint textured = buildProgram("blinn_phong_tex.vert", "", "blinn_phong_tex.frag");
  const GLuint cel = buildProgram("cel.vert", "", "cel.frag");
  const glm::mat4 view = glm::lookAt(glm::vec3(0.3f, 1.2f, 2.5f), glm::vec3(0.0f), glm::vec3(0, 1, 0));
  const glm::mat4 project = glm::perspective(1.0471976f, 1.0f, 0.1f, 40.0f);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  for (GLuint program : {textured, cel}) {
    setLitScene(program, glm::vec3(0.0f));
    setMatrix(program, "view", view);
    setMatrix(program, "project", project);
    if (program == cel) setVec3(program, "material_color", glm::vec3(0.0f, 0.0f, 1.0f));
    drawFlatFloorQuad();
  }
  const std::vector<unsigned char> after = readTarget();
  int celPixels = 0;
  for (size_t i = 0; i < after.size(); i += 4) celPixels += (after[i] == 0 && after[i + 2] > 0) ? 1 : 0;
  EXPECT_EQ(celPixels, 0) << "blue cel pixels show through the textured level";
  glDeleteProgram(textured);
  glDeleteProgram(cel);
}

TEST_F(ShadingTest, BulletIsTranslucentCyanAndOpaqueWithAlphaOne) {
  const GLuint program = buildProgram("transparent.vert", "", "transparent.frag");
  glUseProgram(program);
  setMatrix(program, "model", glm::mat4(1.0f));
  setMatrix(program, "view", glm::lookAt(glm::vec3(0, 5, 0), glm::vec3(0.0f), glm::vec3(0, 0, -1)));
  setMatrix(program, "project", glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, 0.1f, 20.0f));
  setVec3(program, "color", glm::vec3(0.2f, 1.4f, 1.5f));
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  const auto centreOverRed = [&](float alpha) {
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUniform1f(glGetUniformLocation(program, "alpha"), alpha);
    drawFlatFloorQuad();
    const std::vector<unsigned char> pixels = readTarget();
    const size_t i = static_cast<size_t>(((kTarget / 2) * kTarget + kTarget / 2) * 4);
    return glm::ivec3(pixels[i], pixels[i + 1], pixels[i + 2]);
  };
  const glm::ivec3 opaque = centreOverRed(1.0f);
  EXPECT_LT(opaque.r, 64) << "no red background through an opaque bullet";
  EXPECT_GT(opaque.g, 200);
  EXPECT_GT(opaque.b, 200);
  const glm::ivec3 translucent = centreOverRed(0.2f);
  EXPECT_GT(translucent.r, 150) << "the background shows through";
  EXPECT_GT(translucent.g, 20);
  EXPECT_LT(translucent.g, 120);
  glDeleteProgram(program);
}

TEST_F(ShadingTest, SilhouettePushesTheSurfaceOutInItsColour) {
  const GLuint program = buildProgram("silhoutte.vert", "", "silhoutte.frag");
  glUseProgram(program);
  setMatrix(program, "model", glm::scale(glm::mat4(1.0f), glm::vec3(0.5f)));
  setMatrix(program, "view", glm::lookAt(glm::vec3(0, 5, 0), glm::vec3(0.0f), glm::vec3(0, 0, -1)));
  setMatrix(program, "project", glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, 0.1f, 20.0f));
  glUniform3f(glGetUniformLocation(program, "color1"), 0.0f, 0.0f, 0.0f);
  glUniform1f(glGetUniformLocation(program, "alpha"), 1.0f);
  // Normals pointing outwards within the floor plane, as at a model's rim.
  const glm::vec3 outwards[4] = {{-1, 0, 1}, {1, 0, 1}, {1, 0, -1}, {-1, 0, -1}};
  const auto coveredPixels = [&](float offset) {
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUniform1f(glGetUniformLocation(program, "offset1"), offset);
    drawFloorQuad(outwards);
    const std::vector<unsigned char> pixels = readTarget();
    int black = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) black += (pixels[i] + pixels[i + 1] + pixels[i + 2] == 0) ? 1 : 0;
    return black;
  };
  const int plain = coveredPixels(0.0f);
  const int pushed = coveredPixels(0.2f);
  EXPECT_GT(plain, kTarget * kTarget / 5);
  EXPECT_GT(pushed, plain + kTarget * 4) << "the outline grows with offset1";
  glDeleteProgram(program);
}

}  // namespace
