// The program loader's failures. The game's own programs are built and drawn with by RenderTest,
// whose frames must leave no GL error; how they shade is seen in its pictures.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
  // Only a regular file is a source: a FIFO would block start-up and a folder would read as empty.
  std::filesystem::remove_all(dir + "pipe.frag");
  std::filesystem::remove_all(dir + "folder.frag");
  ASSERT_EQ(mkfifo((dir + "pipe.frag").c_str(), 0600), 0);
  std::filesystem::create_directory(dir + "folder.frag");
  alarm(60);  // a loader that blocks on the FIFO ends the run loudly instead
  EXPECT_EXIT(build({"Shader/Depth.vert", dir + "pipe.frag"}), testing::ExitedWithCode(1),
              "Failed to open shader file:.*pipe.frag");
  EXPECT_EXIT(build({"Shader/Depth.vert", dir + "folder.frag"}), testing::ExitedWithCode(1),
              "Failed to open shader file:.*folder.frag");
  alarm(0);
}

}  // namespace
}  // namespace varn::test
