// A check of the material libraries an OBJ file names, before Assimp reads it.
#pragma once

#include <string>
#include <vector>

namespace varn::assets {

// The path Assimp opens for the library a model's "mtllib" statement names: the name (the
// rest of the line after the word and its blanks) in the model's folder.
std::string materialLibraryPath(const std::string& modelPath, const std::string& name);

// False when a library the model names (among its statements, as assimpObjStatements gives
// them) has a path that Assimp cannot look for safely. When
// a library is not where the model says, Assimp's file-system filter tidies the path and
// steps past each "://" in it, one character too far: at the end of the path that runs off
// the end of the string (a crash, or a read of whatever memory follows).
bool materialLibraryPathsAreSafe(const std::string& modelPath, const std::vector<std::string>& statements);

}  // namespace varn::assets
