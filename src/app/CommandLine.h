// The optional command line: window width, window height, fullscreen flag, refresh rate.
#pragma once

#include <cstdint>
#include <string>

namespace varn::app {

struct WindowSettings {
  int32_t windowWidth = 800;   // pixels
  int32_t windowHeight = 600;  // pixels
  bool fullscreen = false;
  int32_t refreshRate = 60;  // Hz, used only in fullscreen
};

struct CommandLineResult {
  WindowSettings settings;
  bool startedMessage = false;  // "Morrowgear started" is due (two or more arguments)
  std::string error;            // empty when every argument parsed
};

// Parses arguments 1..argc-1 the way a string stream's >> reads them: leading blanks
// skipped, trailing characters ignored ("1024px" is 1024), no range checks. The first
// argument that fails stops the parse with its message.
CommandLineResult parseCommandLine(int argc, const char* const* argv);

}  // namespace varn::app
