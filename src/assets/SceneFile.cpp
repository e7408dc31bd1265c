// Reading a model file into an Assimp scene through a file system that opens regular files only.
#include "assets/SceneFile.h"

#include <assimp/DefaultIOSystem.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <cctype>
#include <string>
#include <vector>

#include "assets/AssimpLines.h"
#include "assets/MaterialLibraryPaths.h"
#include "assets/ObjFaceStatements.h"
#include "assets/RegularFile.h"

namespace varn::assets {

namespace {

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Assimp's material library reader writes a material's statements into the material that
// "newmtl" opened, and crashes on one that comes before any (a library whose first line was
// lost, say). It takes a line that starts with a letter as a statement and passes over every
// other one (at the start of the file, one that starts with a blank). Such a library is no
// library: the model loads without its materials.
bool materialLibraryOpensWithNewmtl(const std::string& contents) {
  for (const std::string& line : assimpStatements(contents)) {
    if (std::isalpha(static_cast<unsigned char>(line[0]))) return line.compare(0, 6, "newmtl") == 0;
  }
  return true;
}

// Assimp leaks the open file of a material library shorter than this (in bytes); the
// shortest that can name a material, "newmtl a", is as long.
constexpr size_t kShortestMaterialLibrary = 8;

// Assimp reads a library that starts with a UTF-16 or UTF-32 byte-order mark as that text,
// which the byte-wise checks here cannot follow (and it leaked on one of 11 bytes): such a
// library is no library either.
bool startsWithWideTextMark(const std::string& contents) {
  return contents.rfind("\xFE\xFF", 0) == 0 || contents.rfind("\xFF\xFE", 0) == 0 ||
         contents.rfind(std::string("\0\0\xFE\xFF", 4), 0) == 0;
}

// The model is read and split into statements once, for both of its checks.
bool isSoundModel(const std::string& path) {
  const std::vector<std::string> statements = assimpObjStatements(fileContents(path));
  return faceStatementsAreSound(statements) && materialLibraryPathsAreSafe(path, statements);
}

bool isMaterialLibrary(const std::string& path) {
  const std::string contents = fileContents(path);
  return contents.size() >= kShortestMaterialLibrary && !startsWithWideTextMark(contents) &&
         materialLibraryOpensWithNewmtl(contents);
}

// Assimp opens the model and the material libraries it names as it meets them; opening a
// FIFO would block the game's start for ever, so anything but a regular file is missing, as
// is a model with a face Assimp would refuse only after building (and leaking) the meshes
// before it, or one naming a library whose path Assimp would run off the end of.
class RegularFilesOnly : public Assimp::DefaultIOSystem {
 public:
  bool Exists(const char* path) const override { return isReadable(path); }
  Assimp::IOStream* Open(const char* path, const char* mode) override {
    return isReadable(path) ? DefaultIOSystem::Open(path, mode) : nullptr;
  }

 private:
  static bool isReadable(const std::string& path) {
    if (!isRegularFile(path)) return false;
    if (endsWith(path, ".obj")) return isSoundModel(path);
    return !endsWith(path, ".mtl") || isMaterialLibrary(path);
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
