// A text file's lines as Assimp's OBJ and MTL readers split them, for the checks the model
// loader makes before Assimp reads a file.
#pragma once

#include <string>
#include <vector>

namespace varn::assets {

// Every line of the file, empty ones left out: the readers end a line at a carriage return,
// a form feed or a NUL as well as at a line feed, and go on with the next statement after it.
std::vector<std::string> assimpLines(const std::string& path);

}  // namespace varn::assets
