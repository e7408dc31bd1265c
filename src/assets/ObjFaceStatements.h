// A check of a Wavefront OBJ file's faces before Assimp reads it: every index a face, line or
// point names must lie within the positions, texture coordinates and normals the file holds,
// and a line needs two points.
#pragma once

#include <string>
#include <vector>

namespace varn::assets {

// False when some face among a model's statements (as assimpObjStatements gives them) names a
// position, texture coordinate or normal the file does not define (counted as Assimp's reader
// counts them), or a line names one point only. Assimp refuses such a file too, but only after
// building the meshes before it, which it then leaks.
bool faceStatementsAreSound(const std::vector<std::string>& statements);

}  // namespace varn::assets
