// The game's GLSL programs, built from the real files under Shader/ by the game's own loader
// (a file that does not compile or link ends the test process with its log): they declare
// what the game looks up. How they shade is seen in RenderTest's pictures of the real frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "GlTest.h"
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

// A faulty program ends the game with its message on standard error and status 1. Each case runs
// in a fresh copy of the test binary, which opens its own context.
TEST(ShaderFailures, ACompileOrLinkFailureAndTheThreeStageLoadOrderEndTheGameWithTheirMessage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string dir = std::string(MORROWGEAR_ARTIFACT_DIR) + "/shaders/";
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "lonely.frag") << "#version 430 core\nout vec4 c;\nvoid helper() { c = vec4(1.0); }\n";
  std::ofstream(dir + "empty.frag") << "";
  const auto build = [](const std::vector<std::string>& stages) {
    if (sharedGlWindow() == nullptr) std::exit(2);
    if (stages.size() == 2) render::Shader(stages[0], stages[1]);
    if (stages.size() == 3) render::Shader(stages[0], stages[1], stages[2]);
    std::exit(0);
  };
  // Both stages compile; without a main the fragment stage cannot link. The driver's log follows.
  EXPECT_EXIT(build({"Shader/Depth.vert", dir + "lonely.frag"}), testing::ExitedWithCode(1),
              "Failed to link program\n.*main");
  EXPECT_EXIT(build({"Shader/Depth.vert", dir + "empty.frag"}), testing::ExitedWithCode(1),
              "Failed to compile shader\n.");
  // Vertex, fragment, geometry: with the last two missing, the fragment stage is reported.
  EXPECT_EXIT(build({"Shader/Depth.vert", dir + "missing.geom", dir + "missing.frag"}), testing::ExitedWithCode(1),
              "Failed to open shader file:.*missing.frag");
}

}  // namespace
}  // namespace varn::test
