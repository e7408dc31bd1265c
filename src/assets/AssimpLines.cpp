// Splitting a model or material file into the statements Assimp's readers see.
#include "assets/AssimpLines.h"

#include <fstream>
#include <iterator>

namespace varn::assets {

namespace {

bool endsStatement(char c) { return c == '\n' || c == '\r' || c == '\f' || c == '\0'; }

enum class BlanksAfterAnEnd { passedOver, kept };

// The non-empty pieces of a buffer between the ends of its statements.
std::vector<std::string> piecesBetweenEnds(const std::string& buffer, BlanksAfterAnEnd blanks) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t i = 0; i <= buffer.size(); ++i) {
    if (i < buffer.size() && !endsStatement(buffer[i])) continue;
    if (i > start) pieces.push_back(buffer.substr(start, i - start));
    start = i + 1;
    if (blanks == BlanksAfterAnEnd::kept) continue;
    while (start < buffer.size() && (buffer[start] == ' ' || buffer[start] == '\t')) ++start;
    i = start - 1;
  }
  return pieces;
}

}  // namespace

std::string fileContents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::vector<std::string> assimpStatements(const std::string& buffer) {
  return piecesBetweenEnds(buffer, BlanksAfterAnEnd::passedOver);
}

std::vector<std::string> assimpObjLines(const std::string& buffer) {
  return piecesBetweenEnds(buffer, BlanksAfterAnEnd::kept);
}

}  // namespace varn::assets
