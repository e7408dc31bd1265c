// Text as Assimp's OBJ and MTL readers walk it, for the checks the model loader makes before
// Assimp reads a file.
#pragma once

#include <string>
#include <vector>

namespace varn::assets {

// A whole file's bytes; empty when it cannot be read.
std::string fileContents(const std::string& path);

// The statements of one buffer the readers walk (the OBJ reader walks each line of a file on
// its own, the MTL reader the whole file), empty ones left out. A statement ends at a line
// feed, carriage return, form feed or NUL; after such an end the readers pass over spaces and
// tabs, but not at the start of the buffer, where a blank makes the statement none.
std::vector<std::string> assimpStatements(const std::string& buffer);

}  // namespace varn::assets
