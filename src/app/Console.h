// Console output and the key-press pause that ends a game or a failed start.
#pragma once

#include <string>

namespace varn::app {

// One line on standard output, flushed.
void printLine(const std::string& line);
// One line on standard error, flushed.
void printError(const std::string& line);
// Waits for one key press with a prompt, but only when both standard input and
// standard output are terminals; otherwise returns at once, so nothing scripted hangs.
void consolePause();
// The fatal ending of start-up: the pause, then exit status 1.
[[noreturn]] void pauseAndExit();

}  // namespace varn::app
