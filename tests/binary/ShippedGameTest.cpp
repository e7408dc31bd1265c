// The shipped binary run as a player would: real arguments, the real window title, real X input
// from xdotool under the test's X server. Every run has a time limit.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "Process.h"
#include "StartupTranscript.h"

using varn::test::Process;
using varn::test::ProcessResult;
using varn::test::shell;

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

// Holds a key long enough for a polling game to see it (at least two frames).
void pressKey(const std::string& key) { shell("xdotool keydown " + key + " sleep 0.4 keyup " + key); }

// Waits until set-up is done and the window is up.
void startAndWait(const Process& game) {
  ASSERT_TRUE(game.waitForOutput(kTranscript.back() + "\n", kStartUp)) << game.out();
  ASSERT_EQ(shell("timeout 20 xdotool search --sync --onlyvisible --name '^Morrowgear' >/dev/null 2>&1"), 0);
}

std::string windowName() {
  const auto names = lines(
      Process({"/usr/bin/xdotool", "search", "--onlyvisible", "--name", "^Morrowgear", "getwindowname"}, kSourceDir)
          .finish(10.0)
          .out);
  return names.empty() ? "" : names.front();
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

TEST(ShippedGame, StartsWithItsTranscriptShowsItsTitleAndQuitsOnEscapeWithoutAnOutcome) {
  Process game({kGame}, kSourceDir);
  startAndWait(game);
  const std::string title = windowName();
  std::smatch m;
  ASSERT_TRUE(
      std::regex_match(title, m, std::regex(R"(Morrowgear \| Objects drawn (\d+) / (\d+) \| Frametime: +\d+ ms)")))
      << title;
  EXPECT_TRUE(std::stoi(m[1]) > 0 && std::stoi(m[1]) <= std::stoi(m[2])) << "some, but no more than considered";
  pressKey("Escape");
  const ProcessResult result = game.finish(20.0);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(lines(result.out), kTranscript) << "quitting mid-game prints no outcome";
  EXPECT_TRUE(result.err.empty()) << result.err;
}
