// libFuzzer target: a material library read beside a fixed OBJ that names it and uses
// materials from it, through the game's model import.
#include <assimp/Importer.hpp>

#include "FuzzInput.h"
#include "assets/SceneFile.h"

namespace {

// Two quads with texture coordinates and normals, in materials named as the committed
// assets name theirs.
constexpr char kModel[] =
    "mtllib input.mtl\n"
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
    "vn 0 0 1\n"
    "o front\nusemtl bricks\n"
    "f 1/1/1 2/2/1 3/3/1 4/4/1\n"
    "o back\nusemtl button\n"
    "f 4/4/1 3/3/1 2/2/1 1/1/1\n";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  varn::fuzz::writeScratch("model.obj", reinterpret_cast<const uint8_t*>(kModel), sizeof kModel - 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  varn::fuzz::writeScratch("input.mtl", data, size);
  Assimp::Importer importer;
  const aiScene* scene = varn::assets::readScene(importer, varn::fuzz::scratchFolder() + "/model.obj");
  if (scene != nullptr) varn::fuzz::walkScene(*scene);
  return 0;
}
