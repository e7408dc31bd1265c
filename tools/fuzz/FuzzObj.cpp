// libFuzzer target: an OBJ model read by Assimp with the game's file system and
// post-processing, then walked as the model upload walks it.
#include <assimp/Importer.hpp>

#include "FuzzInput.h"
#include "assets/SceneFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = varn::fuzz::writeScratch("input.obj", data, size);
  Assimp::Importer importer;
  const aiScene* scene = varn::assets::readScene(importer, path);
  if (scene != nullptr) varn::fuzz::walkScene(*scene);
  return 0;
}
