// Splitting a model or material file into the lines Assimp's readers see.
#include "assets/AssimpLines.h"

#include <fstream>
#include <iterator>

namespace varn::assets {

std::vector<std::string> assimpLines(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string contents((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= contents.size(); ++i) {
    const bool end = i == contents.size() || contents[i] == '\n' || contents[i] == '\r' || contents[i] == '\f' ||
                     contents[i] == '\0';
    if (!end) continue;
    if (i > start) lines.push_back(contents.substr(start, i - start));
    start = i + 1;
  }
  return lines;
}

}  // namespace varn::assets
