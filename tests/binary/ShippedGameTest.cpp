// The shipped binary run as a player would: real arguments, real files, real X input
// from xdotool under the test's X server. Every run has a time limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Process.h"
#include "StartupTranscript.h"
#include "TempDir.h"

using varn::test::Process;
using varn::test::ProcessResult;
using varn::test::runProcess;
using varn::test::shell;
using varn::test::TempDir;

namespace fs = std::filesystem;

namespace {

const std::string kGame = MORROWGEAR_BINARY;
const std::string kSourceDir = MORROWGEAR_SOURCE_DIR;
constexpr double kQuickRun = 30.0;  // seconds: start-up failures end long before this
constexpr double kStartUp = 60.0;   // seconds allowed for set-up under llvmpipe

const std::vector<std::string>& kTranscript = varn::test::kStartupTranscript;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) result.push_back(line);
  return result;
}

// A copy of the game's runtime assets that a test may break.
class AssetCopy {
 public:
  AssetCopy() {
    for (const char* folder : {"Shader", "Models", "Images"}) {
      fs::copy(fs::path(kSourceDir) / folder, dir_.path() / folder, fs::copy_options::recursive);
    }
  }
  const fs::path& path() const { return dir_.path(); }
  std::string root() const { return dir_.path().string(); }

 private:
  TempDir dir_;
};

// Holds a key long enough for a polling game to see it (at least two frames).
void pressKey(const std::string& key) { shell("xdotool keydown " + key + " sleep 0.4 keyup " + key); }

bool waitForWindow(double seconds) {
  const std::string command = "timeout " + std::to_string(static_cast<int>(seconds)) +
                              " xdotool search --sync --onlyvisible --name '^Morrowgear' >/dev/null 2>&1";
  return shell(command) == 0;
}

std::string windowName() {
  const std::string file = (fs::temp_directory_path() / "morrowgear-title.txt").string();
  shell("xdotool search --onlyvisible --name '^Morrowgear' getwindowname > " + file + " 2>/dev/null");
  std::ifstream in(file);
  std::string name;
  std::getline(in, name);
  return name;
}

// Starts the game in dir and waits until its set-up is done and the window is up.
void startAndWait(Process& game) {
  ASSERT_TRUE(game.waitForOutput(kTranscript.back() + "\n", kStartUp)) << game.out();
  ASSERT_TRUE(waitForWindow(20.0));
}

}  // namespace

TEST(ShippedGameArguments, AnArgumentThatDoesNotParseEndsStartUpWithItsMessage) {
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  const Case cases[] = {
      {{"abc", "600"}, "ERROR: could not parse window width"},
      {{"800", ""}, "ERROR: could not parse window height"},
      {{"800", "600", "true"}, "ERROR: could not parse fullscreen boolean"},
      {{"800", "600", "2"}, "ERROR: could not parse fullscreen boolean"},
      {{"800", "600", "0", "fast"}, "ERROR: could not parse refresh rate"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv = {kGame};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    const ProcessResult result = runProcess(argv, kSourceDir, kQuickRun);
    EXPECT_FALSE(result.timedOut) << c.message;
    EXPECT_EQ(result.exitStatus, 1) << c.message;
    EXPECT_EQ(result.out, "Morrowgear started\n") << c.message;
    EXPECT_EQ(lines(result.err).front(), c.message);
  }
}

TEST(ShippedGameArguments, AZeroSizedWindowCannotBeOpened) {
  const ProcessResult result = runProcess({kGame, "0", "600"}, kSourceDir, kQuickRun);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err, "ERROR: could not open Window\n");
}

TEST(ShippedGameArguments, WithoutADisplayGlfwCannotStart) {
  const ProcessResult result = runProcess({kGame}, kSourceDir, kQuickRun, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.err.find("ERROR: could not init GLFW\n"), std::string::npos) << result.err;
  EXPECT_TRUE(result.out.empty());
}

TEST(ShippedGameShaders, AMissingShaderFileIsFatalWithItsPath) {
  AssetCopy assets;
  fs::remove(assets.path() / "Shader/cel.frag");
  const ProcessResult result = runProcess({kGame}, assets.root(), kStartUp);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(lines(result.err).back(), "Failed to open shader file:Shader/cel.frag");
  // Set-up got as far as the cel program and no further.
  EXPECT_EQ(lines(result.out).back(), "initializing cel shader");
}

TEST(ShippedGameShaders, AnEmptyShaderFailsToCompileAndPrintsTheDriversLog) {
  AssetCopy assets;
  std::ofstream(assets.path() / "Shader/transparent.frag", std::ios::trunc).close();
  const ProcessResult result = runProcess({kGame}, assets.root(), kStartUp);
  EXPECT_EQ(result.exitStatus, 1);
  const auto errorLines = lines(result.err);
  ASSERT_GE(errorLines.size(), 2u) << result.err;
  EXPECT_EQ(errorLines[0], "Failed to compile shader");
  EXPECT_FALSE(errorLines[1].empty()) << "the compiler's log follows the message";
}

TEST(ShippedGameShaders, AShaderThatDoesNotCompileShowsTheCompilerError) {
  AssetCopy assets;
  std::ofstream(assets.path() / "Shader/Depth.vert", std::ios::trunc) << "#version 430 core\nvoid main() { x = 1; }\n";
  const ProcessResult result = runProcess({kGame}, assets.root(), kStartUp);
  EXPECT_EQ(result.exitStatus, 1);
  const auto errorLines = lines(result.err);
  ASSERT_GE(errorLines.size(), 2u) << result.err;
  EXPECT_EQ(errorLines[0], "Failed to compile shader");
  EXPECT_NE(result.err.find("x"), std::string::npos);
}

TEST(ShippedGamePlay, StartsWithItsTranscriptShowsItsTitleAndQuitsOnEscape) {
  Process game({kGame}, kSourceDir);
  startAndWait(game);
  EXPECT_EQ(lines(game.out()), kTranscript);

  const std::string title = windowName();
  EXPECT_EQ(title.rfind("Morrowgear | Objects drawn ", 0), 0u) << title;
  EXPECT_NE(title.find(" | Frametime: "), std::string::npos) << title;
  EXPECT_EQ(title.substr(title.size() - 3), " ms") << title;

  pressKey("Escape");
  const ProcessResult result = game.finish(20.0);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitStatus, 0);
  // Quitting mid-game prints no outcome.
  EXPECT_EQ(lines(result.out), kTranscript);
  EXPECT_TRUE(result.err.empty()) << result.err;
}

TEST(ShippedGamePlay, FunctionKeysPrintWhatTheyToggle) {
  Process game({kGame}, kSourceDir);
  startAndWait(game);
  const std::pair<const char*, const char*> toggles[] = {
      {"F3", "Wireframe mode turned on"},
      {"F4", "Texture Sampling Quality: Nearest Neighbour"},
      {"F5", "MipMap Quality: OFF"},
      {"F6", "Ambient Light Strength decreased"},
      {"F7", "Ambient Light Strength increased"},
      {"F8", "Viewfrustum Culling: OFF"},
      {"F9", "Transparency: OFF"},
  };
  for (const auto& [key, message] : toggles) {
    pressKey(key);
    EXPECT_TRUE(game.waitForOutput(std::string(message) + "\n", 10.0)) << key;
  }
  pressKey("Escape");
  EXPECT_EQ(game.finish(20.0).exitStatus, 0);
}

TEST(ShippedGameAssets, AMissingCursorImageIsReportedAndTheGameRunsOn) {
  AssetCopy assets;
  fs::remove(assets.path() / "Images/cursor.png");
  Process game({kGame}, assets.root());
  startAndWait(game);
  const auto out = lines(game.out());
  ASSERT_GE(out.size(), 2u);
  EXPECT_EQ(out[0], "loading custom cursor");
  EXPECT_EQ(out[1], "ERROR: could not load custom cursor");
  pressKey("Escape");
  EXPECT_EQ(game.finish(20.0).exitStatus, 0);
}

TEST(ShippedGameAssets, AMissingModelIsReportedAndTheGameRunsOn) {
  AssetCopy assets;
  fs::remove(assets.path() / "Models/bullet/bullet.obj");
  Process game({kGame}, assets.root());
  ASSERT_TRUE(game.waitForOutput("loading bullet\nERROR::ASSIMP::", kStartUp)) << game.out();
  ASSERT_TRUE(waitForWindow(20.0));
  pressKey("Escape");
  const ProcessResult result = game.finish(20.0);
  EXPECT_EQ(result.exitStatus, 0);
  // The failed load is not followed by a claim of success.
  const auto out = lines(result.out);
  EXPECT_EQ(out.back().rfind("ERROR::ASSIMP::", 0), 0u) << out.back();
  EXPECT_EQ(result.out.find(" successfully loaded\n", result.out.find("loading bullet")), std::string::npos);
}
