// Reading a model file into an Assimp scene through a file system that opens regular files only.
#include "assets/SceneFile.h"

#include <assimp/DefaultIOSystem.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <cctype>
#include <fstream>
#include <sstream>
#include <string>

#include "assets/ObjFaceIndices.h"
#include "assets/RegularFile.h"

namespace varn::assets {

namespace {

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Assimp's material library reader writes a material's statements into the material that
// "newmtl" opened, and crashes on one that comes before any (a library whose first line was
// lost, say), and leaks on one of nothing but comments or blanks that lacks its last line end.
// Neither is a library: the model loads without its materials, as it would from an empty one.
// The reader ends a line at a carriage return, form feed or NUL as well, takes a line that
// starts with a letter as a statement and passes over every other one.
bool materialLibraryOpensWithNewmtl(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  std::string contents = text.str();
  for (char& c : contents) {
    if (c == '\r' || c == '\f' || c == '\0') c = '\n';
  }
  std::istringstream lines(contents);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || !std::isalpha(static_cast<unsigned char>(line[0]))) continue;
    return line.compare(0, 6, "newmtl") == 0;
  }
  return false;
}

// Assimp opens the model and the material libraries it names as it meets them; opening a
// FIFO would block the game's start for ever, so anything but a regular file is missing, as
// is a model whose faces name vertices it lacks (Assimp would leak the meshes before them).
class RegularFilesOnly : public Assimp::DefaultIOSystem {
 public:
  bool Exists(const char* path) const override { return isReadable(path); }
  Assimp::IOStream* Open(const char* path, const char* mode) override {
    return isReadable(path) ? DefaultIOSystem::Open(path, mode) : nullptr;
  }

 private:
  static bool isReadable(const std::string& path) {
    if (!isRegularFile(path)) return false;
    if (endsWith(path, ".obj")) return faceIndicesInRange(path);
    return !endsWith(path, ".mtl") || materialLibraryOpensWithNewmtl(path);
  }
};

}  // namespace

const aiScene* readScene(Assimp::Importer& importer, const std::string& path) {
  importer.SetIOHandler(new RegularFilesOnly);  // the importer owns and deletes it
  const aiScene* scene = importer.ReadFile(path, aiProcess_Triangulate | aiProcess_FlipUVs);
  if (scene == nullptr || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) != 0 || scene->mRootNode == nullptr) {
    return nullptr;
  }
  return scene;
}

}  // namespace varn::assets
