// Reading a model file into an Assimp scene through a file system that opens regular files only.
#include "assets/SceneFile.h"

#include <assimp/DefaultIOSystem.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <fstream>
#include <sstream>
#include <string>

#include "assets/RegularFile.h"

namespace varn::assets {

namespace {

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Assimp's material library reader writes a material's statements into the material that
// "newmtl" opened, and crashes on one that comes before any (a library whose first line was
// lost, say). Such a library is no library: the model loads without its materials.
bool materialLibraryOpensWithNewmtl(const std::string& path) {
  std::ifstream file(path);
  std::string word;
  for (std::string line; std::getline(file, line);) {
    std::istringstream statement(line);
    if (!(statement >> word) || word[0] == '#') continue;
    return word == "newmtl";
  }
  return true;
}

// Assimp opens the model and the material libraries it names as it meets them; opening a
// FIFO would block the game's start for ever, so anything but a regular file is missing.
class RegularFilesOnly : public Assimp::DefaultIOSystem {
 public:
  bool Exists(const char* path) const override { return isReadable(path); }
  Assimp::IOStream* Open(const char* path, const char* mode) override {
    return isReadable(path) ? DefaultIOSystem::Open(path, mode) : nullptr;
  }

 private:
  static bool isReadable(const std::string& path) {
    if (!isRegularFile(path)) return false;
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
