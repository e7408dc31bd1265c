// Text as Assimp's OBJ and MTL readers walk it, for the checks the model loader makes before
// Assimp reads a file.
#pragma once

#include <string>
#include <vector>

namespace varn::assets {

// A whole file's bytes; empty when it cannot be read.
std::string fileContents(const std::string& path);

// The statements of a material library as Assimp's MTL reader walks the whole file, empty
// ones left out. A statement ends at a line feed, carriage return, form feed or NUL; after
// such an end the reader passes over spaces and tabs, but not at the start of the file,
// where a blank makes the statement none.
std::vector<std::string> assimpStatements(const std::string& buffer);

// The lines of a model as Assimp's OBJ reader hands them to its parser one at a time, empty
// ones left out, each cut at its first line end. A line ends where a statement does, but its
// leading blanks stay: the parser tells a statement by a line's first character, so a line
// that starts with a blank is none, even right after a NUL or a carriage return. A backslash
// right before a line end joins the line to what follows the next line feed, whatever stands
// in between, and the character after that feed joins it too, even a line end.
std::vector<std::string> assimpObjLines(const std::string& buffer);

// The lines of a model that Assimp's OBJ parser acts on: every line but those of a curve
// section, which it passes over from a line whose first word is "cstype" to the next whose
// first word is "end", both included.
std::vector<std::string> assimpObjStatements(const std::string& buffer);

// Assimp's readers split a statement into words at spaces and tabs only.
bool isAssimpBlank(char c);
// A line's first word, up to its first blank: how Assimp tells a line's keyword.
std::string firstWord(const std::string& line);

}  // namespace varn::assets
