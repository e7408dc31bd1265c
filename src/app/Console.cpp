// Console lines and the console pause. Linux has no "PAUSE" command, so the wait
// for a key is done here with the terminal switched to single-key input.
#include "app/Console.h"

#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

namespace varn::app {

void printLine(const std::string& line) { std::cout << line << std::endl; }

void printError(const std::string& line) { std::cerr << line << std::endl; }

void consolePause() {
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) return;
  std::cout << "Press any key to continue . . ." << std::flush;
  termios saved{};
  const bool haveTerminal = tcgetattr(STDIN_FILENO, &saved) == 0;
  if (haveTerminal) {
    termios singleKey = saved;
    singleKey.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    singleKey.c_cc[VMIN] = 1;
    singleKey.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &singleKey);
  }
  char key = 0;
  [[maybe_unused]] const ssize_t got = read(STDIN_FILENO, &key, 1);
  if (haveTerminal) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  std::cout << std::endl;
}

void pauseAndExit() {
  consolePause();
  std::exit(1);
}

}  // namespace varn::app
