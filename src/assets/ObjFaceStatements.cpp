// Counting an OBJ file's positions, texture coordinates and normals and checking the indices
// of its faces against them, statement by statement, as Assimp's OBJ reader resolves them.
#include "assets/ObjFaceStatements.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "assets/AssimpLines.h"

namespace varn::assets {

namespace {

// How many positions, texture coordinates and normals the file has defined so far.
struct Counts {
  long long position = 0, texture = 0, normal = 0;
};

// A component as Assimp's reader counts one: a token that starts like a number, or "nan"/"inf".
bool isNumberToken(const std::string& token) {
  const char first = token[0];
  if (std::isdigit(static_cast<unsigned char>(first)) || first == '-' || first == '+') return true;
  std::string start = token.substr(0, 3);
  for (char& c : start) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return start == "nan" || start == "inf";
}

// Assimp keeps a position only from 3, 4 (homogeneous) or 6 (with a colour) components.
bool positionIsKept(std::istringstream& statement) {
  int components = 0;
  for (std::string token; statement >> token;) components += isNumberToken(token) ? 1 : 0;
  return components == 3 || components == 4 || components == 6;
}

// Assimp's reader tells a statement by the first characters of its line, without passing
// over leading blanks: "v" and a blank a position, "vt..." a texture coordinate, "vn..." a
// normal, and any word that starts with f, l or p a face, line or point.
bool isFace(const std::string& line) { return line[0] == 'f' || line[0] == 'l' || line[0] == 'p'; }

// Adds a statement's definition, if it is one, to the counts.
void count(const std::string& line, std::istringstream& statement, Counts& counts) {
  if (line[0] != 'v' || line.size() < 2) return;
  if (line[1] == ' ' || line[1] == '\t') counts.position += positionIsKept(statement) ? 1 : 0;
  if (line[1] == 't') ++counts.texture;
  if (line[1] == 'n') ++counts.normal;
}

// One index of a face corner. A positive index counts from the front of the whole file
// (Assimp resolves it once the file is read), a negative one back from the last definition
// before the face; 0 is refused by Assimp itself. A set of texture coordinates or normals
// the file has none of is not checked, since Assimp then ignores indices into it.
// An index beyond what a long long holds reads as its nearest end, out of range either way;
// the counts are never negative, so comparing with -sofar cannot overflow.
bool indexInRange(const std::string& text, long long sofar, long long total) {
  if (text.empty() || total == 0) return true;
  const long long index = std::strtoll(text.c_str(), nullptr, 10);
  return index > 0 ? index <= total : index >= -sofar;
}

// A corner "p", "p/t", "p//n" or "p/t/n".
bool cornerInRange(const std::string& corner, const Counts& sofar, const Counts& total) {
  const size_t first = corner.find('/');
  const size_t second = first == std::string::npos ? std::string::npos : corner.find('/', first + 1);
  const std::string position = corner.substr(0, first);
  const std::string texture = first == std::string::npos ? "" : corner.substr(first + 1, second - first - 1);
  const std::string normal = second == std::string::npos ? "" : corner.substr(second + 1);
  if (!position.empty() && total.position == 0) return false;  // Assimp has no position to name
  return indexInRange(position, sofar.position, total.position) &&
         indexInRange(texture, sofar.texture, total.texture) && indexInRange(normal, sofar.normal, total.normal);
}

}  // namespace

bool faceStatementsAreSound(const std::string& path) {
  const std::vector<std::string> lines = assimpObjStatements(fileContents(path));
  Counts total, sofar;
  std::string word, corner;
  for (int pass = 0; pass < 2; ++pass) {  // the totals first, then the faces against them
    for (const std::string& line : lines) {
      std::istringstream statement(line);
      statement >> word;  // the statement's own word, never an index
      count(line, statement, pass == 0 ? total : sofar);
      if (pass == 0 || !isFace(line)) continue;
      int corners = 0;
      for (; statement >> corner; ++corners) {
        if (!cornerInRange(corner, sofar, total)) return false;
      }
      if (line[0] == 'l' && corners == 1) return false;  // a line of one point: a mesh of no vertices
    }
  }
  return true;
}

}  // namespace varn::assets
