// The Assimp import every model goes through: only regular files are opened, with the
// post-processing the game's meshes need. Kept apart from the upload so that it runs
// without an OpenGL context (the model fuzzer reads files exactly as the game does).
#pragma once

#include <string>

struct aiScene;
namespace Assimp {
class Importer;
}

namespace varn::assets {

// The scene in path, owned by importer; nullptr (with the importer's error string set) when
// Assimp cannot read it, reads it only in part, or finds no root node.
const aiScene* readScene(Assimp::Importer& importer, const std::string& path);

}  // namespace varn::assets
