// The pause that ends a won or lost game and a failed start, played on a pseudo-terminal
// as a player's console: it prompts, waits for exactly one key press, ignores what was
// typed during play, and leaves the terminal as it found it, even after Ctrl+C.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "Terminal.h"
#include "app/GameRules.h"
#include "app/Globals.h"

namespace varn::test {
namespace {

const std::string kPrompt = "Press any key to continue . . .";
constexpr double kLimit = 20.0;  // seconds: each step takes milliseconds

void winAndPause() {
  gameWon = true;
  app::printOutcome();
}

void loseAndPause() {
  gameLost = true;
  app::printOutcome();
}

// The terminal is back in line mode with echo, as the shell expects it.
void expectLineModeWithEcho(const TerminalProcess& game) {
  const termios modes = game.modes();
  EXPECT_TRUE(modes.c_lflag & ICANON);
  EXPECT_TRUE(modes.c_lflag & ECHO);
}

void winWithOutputRedirected() {
  dup2(open("/dev/null", O_WRONLY), STDOUT_FILENO);
  winAndPause();
}

void failToStart() {
  const char* argv[] = {MORROWGEAR_BINARY, "abc", "600", nullptr};
  execv(argv[0], const_cast<char* const*>(argv));
}

TEST(ConsolePause, AWinALossOrAFailedStartWaitsForOneKeyIgnoringKeysTypedDuringPlay) {
  struct Case {
    const char* what;
    void (*run)();
    std::string shownBeforePrompt, typedDuringPlay, key;
    int exitStatus;
  };
  const std::vector<Case> cases = {
      {"won, a letter", winAndPause, "Thanks a lot! You are a hero!\r\n", "", "x", 0},
      {"lost, an arrow key", loseAndPause, "Please try again!\r\n", "", "\x1b[A", 0},
      {"won, keys typed during play", winAndPause, "Thanks a lot! You are a hero!\r\n", "wwwd \x1b[B", "\x1bOR", 0},
      // The outcome lines go to the file; the prompt still reaches the player.
      {"won, output redirected", winWithOutputRedirected, "", "", "q", 0},
      {"a failed start", failToStart, "ERROR: could not parse window width\r\n", "", " ", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TerminalProcess game(c.run, c.typedDuringPlay);
    ASSERT_TRUE(game.started());
    ASSERT_TRUE(game.waitForShown(kPrompt, kLimit)) << game.shown();
    EXPECT_NE(game.shown().find(c.shownBeforePrompt + kPrompt), std::string::npos) << game.shown();
    if (c.shownBeforePrompt.empty()) {
      EXPECT_EQ(game.shown().find("BOOOOOOOOM!"), std::string::npos) << game.shown();
    }
    // Still waiting: a key typed during play would have ended the pause at once.
    EXPECT_FALSE(game.waitForExit(0.5));
    game.type(c.key);
    ASSERT_TRUE(game.waitForExit(kLimit));
    EXPECT_EQ(game.exitStatus(), c.exitStatus);
    expectLineModeWithEcho(game);
    EXPECT_EQ(game.unreadInput(), "") << "every byte of the key is taken";
  }
}

TEST(ConsolePause, CtrlCEndsThePauseAndRestoresTheTerminal) {
  TerminalProcess game(loseAndPause);
  ASSERT_TRUE(game.waitForShown(kPrompt, kLimit)) << game.shown();
  game.type("\x03");
  ASSERT_TRUE(game.waitForExit(kLimit));
  EXPECT_EQ(game.endingSignal(), SIGINT);
  expectLineModeWithEcho(game);
}

}  // namespace
}  // namespace varn::test
