// Command-line parsing with the game's four error messages.
#include "app/CommandLine.h"

#include <sstream>

namespace varn::app {

namespace {

template <typename T>
bool parseValue(const char* text, T& value) {
  std::istringstream stream{std::string(text)};
  T parsed{};
  stream >> parsed;
  if (stream.fail() || stream.bad()) return false;
  value = parsed;
  return true;
}

// Only the integers 0 and 1 are flags; words such as "true" fail.
bool parseFlag(const char* text, bool& value) {
  int number = 0;
  if (!parseValue(text, number) || (number != 0 && number != 1)) return false;
  value = number == 1;
  return true;
}

}  // namespace

CommandLineResult parseCommandLine(int argc, const char* const* argv) {
  CommandLineResult result;
  const int arguments = argc - 1;
  if (arguments < 2) return result;

  result.startedMessage = true;
  WindowSettings& s = result.settings;
  if (!parseValue(argv[1], s.windowWidth)) {
    result.error = "ERROR: could not parse window width";
  } else if (!parseValue(argv[2], s.windowHeight)) {
    result.error = "ERROR: could not parse window height";
  } else if (arguments >= 3 && !parseFlag(argv[3], s.fullscreen)) {
    result.error = "ERROR: could not parse fullscreen boolean";
  } else if (arguments >= 4 && !parseValue(argv[4], s.refreshRate)) {
    result.error = "ERROR: could not parse refresh rate";
  }
  return result;
}

}  // namespace varn::app
