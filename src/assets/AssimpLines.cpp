// Splitting a model or material file into the statements Assimp's readers see.
#include "assets/AssimpLines.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

namespace varn::assets {

namespace {

bool endsStatement(char c) { return c == '\n' || c == '\r' || c == '\f' || c == '\0'; }

// A backslash right before a line end (or the end of the file, where the reader's buffer
// holds line feeds) continues a model's line after the next line feed.
bool continuesLine(const std::string& buffer, size_t i) {
  return buffer[i] == '\\' && (i + 1 == buffer.size() || endsStatement(buffer[i + 1]));
}

}  // namespace

bool isAssimpBlank(char c) { return c == ' ' || c == '\t'; }

std::string firstWord(const std::string& line) { return line.substr(0, line.find_first_of(" \t")); }

std::string fileContents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::vector<std::string> assimpStatements(const std::string& buffer) {
  std::vector<std::string> statements;
  size_t start = 0;
  for (size_t i = 0; i <= buffer.size(); ++i) {
    if (i < buffer.size() && !endsStatement(buffer[i])) continue;
    if (i > start) statements.push_back(buffer.substr(start, i - start));
    start = i + 1;
    while (start < buffer.size() && isAssimpBlank(buffer[start])) ++start;
    i = start - 1;
  }
  return statements;
}

std::vector<std::string> assimpObjLines(const std::string& buffer) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < buffer.size(); ++i) {  // each turn ends past the end of its line
    std::string line;
    for (; i < buffer.size(); ++i) {
      if (continuesLine(buffer, i)) {
        i = buffer.find('\n', i + 1);
        if (i == std::string::npos || ++i == buffer.size()) {
          i = buffer.size();
          break;
        }
      } else if (endsStatement(buffer[i])) {
        break;
      }
      line += buffer[i];  // after a continuation, whatever stands there
    }
    line.erase(std::find_if(line.begin(), line.end(), endsStatement), line.end());
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> assimpObjStatements(const std::string& buffer) {
  std::vector<std::string> statements;
  bool inCurveSection = false;
  for (std::string& line : assimpObjLines(buffer)) {
    const std::string word = firstWord(line);
    if (inCurveSection) {
      inCurveSection = word != "end";
    } else if (word == "cstype") {
      inCurveSection = true;
    } else {
      statements.push_back(std::move(line));
    }
  }
  return statements;
}

}  // namespace varn::assets
