// The shipped binary run as a player would: real arguments, real files, the real window title, real X
// input from xdotool under the test's X server. Every run has a time limit.
#include <gtest/gtest.h>

#include <regex>

#include "GameWindow.h"
#include "Process.h"
#include "StartupTranscript.h"
#include "TempDir.h"

using varn::test::holdKeyUntil;
using varn::test::Process;
using varn::test::ProcessResult;
using varn::test::splitLines;

namespace {

const std::string kGame = MORROWGEAR_BINARY;
const std::string kSourceDir = MORROWGEAR_SOURCE_DIR;
constexpr double kQuickRun = 30.0;  // seconds: start-up failures end long before this
constexpr double kStartUp = 60.0;   // seconds allowed for set-up under llvmpipe
const std::vector<std::string>& kTranscript = varn::test::kStartupTranscript;

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

// Left alone, the robot stands still and the nearer enemy, in range from the start, reaches
// it: the one ending a test can wait for without racing the game's clock.
TEST(ShippedGame, StartsWithItsTranscriptShowsItsTitleAndIsLostWhenLeftAlone) {
  Process game({kGame}, kSourceDir);
  ASSERT_TRUE(game.waitForOutput(kTranscript.back() + "\n", kStartUp)) << game.out();
  ASSERT_TRUE(varn::test::waitForGameWindow());
  const std::string title = varn::test::gameTitleAfterFirstFrame();
  std::smatch m;
  ASSERT_TRUE(
      std::regex_match(title, m, std::regex(R"(Morrowgear \| Objects drawn (\d+) / (\d+) \| Frametime: +\d+ ms)")))
      << title;
  EXPECT_TRUE(std::stoi(m[1]) > 0 && std::stoi(m[1]) <= std::stoi(m[2])) << "some, but no more than considered";
  const ProcessResult result = game.finish(kStartUp);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitStatus, 0);
  std::vector<std::string> expected = kTranscript;
  expected.insert(expected.end(), varn::test::kLostToTheEnemies.begin(), varn::test::kLostToTheEnemies.end());
  EXPECT_EQ(splitLines(result.out), expected);
  EXPECT_TRUE(result.err.empty()) << result.err;
}

// Escape goes in the moment the window shows, seconds of play before an enemy can arrive.
TEST(ShippedGame, EscapeQuitsMidGameWithStatusZeroAndNoOutcome) {
  Process game({kGame}, kSourceDir);
  ASSERT_TRUE(varn::test::waitForGameWindow()) << game.out();
  EXPECT_TRUE(holdKeyUntil("Escape", 20.0, [&] { return game.hasExited(); })) << "Escape ends the game";
  const ProcessResult result = game.finish(20.0);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(splitLines(result.out), kTranscript) << "quitting mid-game prints no outcome";
  EXPECT_TRUE(result.err.empty()) << result.err;
}
