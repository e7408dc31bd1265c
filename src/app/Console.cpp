// Console lines and the console pause. Linux has no "PAUSE" command, so the wait
// for a key is done here with the terminal switched to single-key input.
#include "app/Console.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>

#include "app/GameTexts.h"

namespace varn::app {

namespace {

// The terminal as the player had it, put back by a signal that ends the pause
// (Ctrl+C, a closed terminal window) as well as by the key.
termios savedTerminal{};
volatile sig_atomic_t terminalChanged = 0;

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction savedActions[sizeof(kEndingSignals) / sizeof(kEndingSignals[0])];

void restoreTerminalAndEnd(int signalNumber) {
  if (terminalChanged) tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
  // Ends the process the way the signal would have, so the shell sees the real cause.
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

void catchEndingSignals() {
  struct sigaction action {};
  action.sa_handler = restoreTerminalAndEnd;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < std::size(kEndingSignals); ++i) sigaction(kEndingSignals[i], &action, &savedActions[i]);
}

void releaseEndingSignals() {
  for (size_t i = 0; i < std::size(kEndingSignals); ++i) sigaction(kEndingSignals[i], &savedActions[i], nullptr);
}

void writeAll(int descriptor, const char* text) {
  size_t left = std::strlen(text);
  while (left > 0) {
    const ssize_t written = write(descriptor, text, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text += written;
    left -= static_cast<size_t>(written);
  }
}

// Where the player sees the prompt: standard output when it is the console, otherwise
// (output redirected to a file) the terminal itself. -1 when there is none.
int openPromptTerminal() {
  if (isatty(STDOUT_FILENO)) return STDOUT_FILENO;
  return open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
}

// Reads one key press: its first byte, then whatever else the same key sent (an arrow
// or an F-key sends several bytes in a burst), so nothing is left over for the shell.
void readOneKey(termios singleKey) {
  char byte = 0;
  ssize_t got = 0;
  do {
    got = read(STDIN_FILENO, &byte, 1);
  } while (got < 0 && errno == EINTR);
  if (got <= 0) return;
  singleKey.c_cc[VMIN] = 0;
  singleKey.c_cc[VTIME] = 1;  // tenths of a second: the rest of a burst arrives at once
  tcsetattr(STDIN_FILENO, TCSANOW, &singleKey);
  while (read(STDIN_FILENO, &byte, 1) > 0) {
  }
}

}  // namespace

void printLine(const std::string& line) { std::cout << line << std::endl; }

void printError(const std::string& line) { std::cerr << line << std::endl; }

void consolePause() {
  // Only a player at a terminal can press a key; a script or a pipe never waits.
  if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &savedTerminal) != 0) return;
  const int prompt = openPromptTerminal();
  if (prompt < 0) return;
  std::cout << std::flush;

  catchEndingSignals();
  termios singleKey = savedTerminal;
  singleKey.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  singleKey.c_cc[VMIN] = 1;
  singleKey.c_cc[VTIME] = 0;
  terminalChanged = 1;
  // TCSAFLUSH drops what was typed during play: it must not end the pause unseen.
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &singleKey);
  writeAll(prompt, text::kPausePrompt);
  readOneKey(singleKey);
  tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
  terminalChanged = 0;
  releaseEndingSignals();
  writeAll(prompt, "\n");
  if (prompt != STDOUT_FILENO) close(prompt);
}

void pauseAndExit() {
  consolePause();
  std::exit(1);
}

}  // namespace varn::app
