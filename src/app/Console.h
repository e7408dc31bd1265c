// Console output and the key-press pause that ends a game or a failed start.
#pragma once

#include <string>

namespace varn::app {

// One line on standard output, flushed.
void printLine(const std::string& line);
// One line on standard error, flushed.
void printError(const std::string& line);
// Waits for one key press with a prompt, but only when standard input is a terminal;
// otherwise returns at once, so nothing scripted hangs. The prompt goes to standard
// output, or to the terminal when output is redirected. Keys typed before the pause
// do not end it; the terminal is restored even when a signal ends the wait.
void consolePause();
// The fatal ending of start-up: the pause, then exit status 1.
[[noreturn]] void pauseAndExit();

}  // namespace varn::app
