// The game's texts as the console shows them: each line followed by its line end.
#pragma once

#include <cstddef>
#include <string>

namespace varn::test {

inline void appendLines(std::string& out, const char* line) {
  out += line;
  out += '\n';
}

template <std::size_t N>
void appendLines(std::string& out, const char* const (&lines)[N]) {
  for (const char* line : lines) appendLines(out, line);
}

// consoleLines(text::kEnemyReached, text::kLostLines): "An enemy ...\nYou lost!\nPlease ...\n".
template <typename... Parts>
std::string consoleLines(const Parts&... parts) {
  std::string out;
  (appendLines(out, parts), ...);
  return out;
}

// The last of a group of lines, such as the one the console pause follows.
template <std::size_t N>
const char* lastLine(const char* const (&lines)[N]) {
  return lines[N - 1];
}

}  // namespace varn::test
