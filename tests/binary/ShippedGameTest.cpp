// The shipped binary run as a player would: real arguments, real files, real X input
// from xdotool under the test's X server. Every run has a time limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "GameWindow.h"
#include "Process.h"
#include "StartupTranscript.h"
#include "TempDir.h"

using varn::test::holdKeyUntil;
using varn::test::Process;
using varn::test::ProcessResult;
using varn::test::splitLines;

namespace fs = std::filesystem;

namespace {

const std::string kGame = MORROWGEAR_BINARY;
const std::string kSourceDir = MORROWGEAR_SOURCE_DIR;
constexpr double kQuickRun = 30.0;  // seconds: start-up failures end long before this
constexpr double kStartUp = 60.0;   // seconds allowed for set-up under llvmpipe
const std::vector<std::string>& kTranscript = varn::test::kStartupTranscript;

std::string lastLine(const std::string& text) { return splitLines(text).empty() ? "" : splitLines(text).back(); }

// A copy of the game's runtime assets that a test may break.
struct AssetCopy : varn::test::TempDir {
  AssetCopy() {
    for (const char* folder : {"Shader", "Models", "Images"})
      fs::copy(fs::path(kSourceDir) / folder, path() / folder, fs::copy_options::recursive);
  }
};

// Waits until set-up has printed `until` and the window is up.
void startAndWait(const Process& game, const std::string& until = kTranscript.back() + "\n") {
  ASSERT_TRUE(game.waitForOutput(until, kStartUp)) << game.out();
  ASSERT_TRUE(varn::test::waitForGameWindow());
}

// Runs the game to its end on a copy of the assets where file is removed (no contents) or rewritten.
ProcessResult runWithBrokenFile(const char* file, const std::optional<std::string>& contents) {
  AssetCopy assets;
  if (contents) {
    std::ofstream(assets.path() / file, std::ios::trunc) << *contents;
  } else {
    fs::remove(assets.path() / file);
  }
  return Process({kGame}, assets.path().string()).finish(kStartUp);
}

void quitWithEscape(Process& game) {
  EXPECT_TRUE(holdKeyUntil("Escape", 20.0, [&] { return game.hasExited(); })) << "Escape ends the game";
}

}  // namespace

TEST(ShippedGame, StartUpFailuresEndWithTheirMessageAndStatusOneWithoutWaitingForAKey) {
  struct Case {
    std::vector<std::string> argv;
    std::string message, out;
  };
  const Case cases[] = {
      {{kGame, "abc", "600"}, "ERROR: could not parse window width", "Morrowgear started\n"},
      {{kGame, "0", "600"}, "ERROR: could not open Window", "Morrowgear started\n"},
      {{"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", kGame}, "ERROR: could not init GLFW", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const ProcessResult result = Process(c.argv, kSourceDir).finish(kQuickRun);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, c.out);
    EXPECT_NE(result.err.find(c.message + "\n"), std::string::npos) << result.err;
  }
}

TEST(ShippedGame, AMissingOrEmptyShaderIsFatalWithItsMessage) {
  const ProcessResult missing = runWithBrokenFile("Shader/cel.frag", std::nullopt);
  EXPECT_EQ(missing.exitStatus, 1);
  EXPECT_EQ(lastLine(missing.err), "Failed to open shader file:Shader/cel.frag");
  EXPECT_EQ(lastLine(missing.out), "initializing cel shader") << "set-up went no further";

  const ProcessResult empty = runWithBrokenFile("Shader/transparent.frag", "");
  EXPECT_EQ(empty.exitStatus, 1);
  const auto err = splitLines(empty.err);
  ASSERT_GE(err.size(), 2u) << empty.err;
  EXPECT_EQ(err[0], "Failed to compile shader");
  EXPECT_FALSE(err[1].empty()) << "the compiler's log follows the message";
}

TEST(ShippedGame, StartsWithItsTranscriptShowsItsTitleAndQuitsOnEscapeWithoutAnOutcome) {
  Process game({kGame}, kSourceDir);
  startAndWait(game);
  const std::string title = varn::test::gameTitleAfterFirstFrame();
  EXPECT_EQ(title.rfind("Morrowgear | Objects drawn ", 0), 0u) << title;
  EXPECT_NE(title.find(" | Frametime: "), std::string::npos) << title;
  EXPECT_EQ(title.substr(title.size() - 3), " ms") << title;
  quitWithEscape(game);
  const ProcessResult result = game.finish(20.0);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(splitLines(result.out), kTranscript) << "quitting mid-game prints no outcome";
  EXPECT_TRUE(result.err.empty()) << result.err;
}

TEST(ShippedGame, FunctionKeysPrintWhatTheyToggle) {
  Process game({kGame}, kSourceDir);
  startAndWait(game);
  const std::pair<const char*, const char*> toggles[] = {{"F3", "Wireframe mode turned on"},
                                                         {"F4", "Texture Sampling Quality: Nearest Neighbour"},
                                                         {"F5", "MipMap Quality: OFF"},
                                                         {"F6", "Ambient Light Strength decreased"},
                                                         {"F7", "Ambient Light Strength increased"},
                                                         {"F8", "Viewfrustum Culling: OFF"},
                                                         {"F9", "Transparency: OFF"}};
  for (const auto& [key, message] : toggles) {
    EXPECT_TRUE(holdKeyUntil(key, 20.0, [&] {
      return game.out().find(std::string(message) + "\n") != std::string::npos;
    })) << key;
  }
}

TEST(ShippedGame, AMissingCursorImageOrModelIsReportedAndTheGameRunsOn) {
  AssetCopy assets;
  fs::remove(assets.path() / "Images/cursor.png");
  fs::remove(assets.path() / "Models/bullet/bullet.obj");
  Process game({kGame}, assets.path().string());
  startAndWait(game, "loading bullet\nERROR::ASSIMP::");
  quitWithEscape(game);
  const ProcessResult result = game.finish(20.0);
  EXPECT_EQ(result.exitStatus, 0);
  const auto out = splitLines(result.out);
  ASSERT_GE(out.size(), 2u);
  EXPECT_EQ(out[0], "loading custom cursor");
  EXPECT_EQ(out[1], "ERROR: could not load custom cursor");
  // The failed model load is the last line, not followed by a claim of success.
  EXPECT_EQ(out.back().rfind("ERROR::ASSIMP::", 0), 0u) << out.back();
}
