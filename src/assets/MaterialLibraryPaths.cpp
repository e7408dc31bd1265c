// Finding the material libraries an OBJ file names, as Assimp's OBJ reader finds them.
#include "assets/MaterialLibraryPaths.h"

#include <vector>

#include "assets/AssimpLines.h"

namespace varn::assets {

namespace {

bool endsInSchemeMark(const std::string& path) { return path.size() >= 3 && path.compare(path.size() - 3, 3, "://") == 0; }

// The library a line names, or nothing when the line is no "mtllib" statement. Assimp tells
// the statement by the line's first word, exactly, and the name runs to the end of the line,
// blanks and all.
std::string libraryNamedBy(const std::string& line) {
  if (firstWord(line) != "mtllib") return "";
  const size_t name = line.find_first_not_of(" \t", 6);
  return name == std::string::npos ? "" : line.substr(name);
}

}  // namespace

std::string materialLibraryPath(const std::string& modelPath, const std::string& name) {
  // Assimp looks in the folder before the model's last separator, when there is one.
  const size_t separator = modelPath.find_last_of("\\/");
  if (separator == std::string::npos || separator == 0) return name;
  std::string folder = modelPath.substr(0, separator);
  if (folder.back() != '/') folder += '/';
  return folder + name;
}

bool materialLibraryPathsAreSafe(const std::string& modelPath, const std::vector<std::string>& statements) {
  for (const std::string& line : statements) {
    const std::string name = libraryNamedBy(line);
    if (!name.empty() && endsInSchemeMark(materialLibraryPath(modelPath, name))) return false;
  }
  return true;
}

}  // namespace varn::assets
