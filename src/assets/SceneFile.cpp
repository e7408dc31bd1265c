// Reading a model file into an Assimp scene through a file system that opens regular files only.
#include "assets/SceneFile.h"

#include <assimp/DefaultIOSystem.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>

#include "assets/ImageFile.h"

namespace varn::assets {

namespace {

// Assimp opens the model and the material libraries it names as it meets them; opening a
// FIFO would block the game's start for ever, so anything but a regular file is missing.
class RegularFilesOnly : public Assimp::DefaultIOSystem {
 public:
  bool Exists(const char* path) const override { return isRegularFile(path); }
  Assimp::IOStream* Open(const char* path, const char* mode) override {
    return isRegularFile(path) ? DefaultIOSystem::Open(path, mode) : nullptr;
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
