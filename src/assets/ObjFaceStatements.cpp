// Counting an OBJ file's positions, texture coordinates and normals and checking the indices
// of its faces against them, statement by statement, as Assimp's OBJ reader resolves them.
#include "assets/ObjFaceStatements.h"

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/AssimpLines.h"

namespace varn::assets {

namespace {

// How many positions, texture coordinates and normals the file has defined so far.
struct Counts {
  long long position = 0, texture = 0, normal = 0;
};

// The words of a line as Assimp's reader splits them: at spaces and tabs only.
std::vector<std::string> blankSeparatedWords(const std::string& line) {
  std::vector<std::string> words;
  for (size_t start = 0; start < line.size();) {
    size_t end = start;
    while (end < line.size() && !isAssimpBlank(line[end])) ++end;
    if (end > start) words.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

// A component as Assimp's reader counts one: a word that starts like a number, or "nan"/"inf".
bool isNumberWord(const std::string& word) {
  const char first = word[0];
  if (std::isdigit(static_cast<unsigned char>(first)) || first == '-' || first == '+') return true;
  std::string start = word.substr(0, 3);
  for (char& c : start) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return start == "nan" || start == "inf";
}

// Assimp keeps a position only from 3, 4 (homogeneous) or 6 (with a colour) components.
bool positionIsKept(const std::string& line) {
  const std::vector<std::string> words = blankSeparatedWords(line);
  int components = 0;
  for (size_t i = 1; i < words.size(); ++i) components += isNumberWord(words[i]) ? 1 : 0;
  return components == 3 || components == 4 || components == 6;
}

// Assimp's reader tells a statement by the first characters of its line, without passing
// over leading blanks: "v" and a blank a position, "vt..." a texture coordinate, "vn..." a
// normal, and any word that starts with f, l or p a face, line or point.
bool isFace(const std::string& line) { return line[0] == 'f' || line[0] == 'l' || line[0] == 'p'; }

// Adds a statement's definition, if it is one, to the counts.
void count(const std::string& line, Counts& counts) {
  if (line[0] != 'v' || line.size() < 2) return;
  if (isAssimpBlank(line[1])) counts.position += positionIsKept(line) ? 1 : 0;
  if (line[1] == 't') ++counts.texture;
  if (line[1] == 'n') ++counts.normal;
}

// Where a corner's index goes, by the slashes before it.
enum Slot { kPosition = 0, kTexture = 1, kNormal = 2 };

// An index of a face corner against the set it names. A positive index counts from the front
// of the whole file (Assimp resolves it once the file is read), a negative one back from the
// last definition before the face. A face needs the positions it names: Assimp refuses one
// it lacks, but only after building (and leaking) the meshes before it. A set of texture
// coordinates or normals the file has none of is not checked, since Assimp then ignores
// indices into it. The counts are never negative, so comparing with -sofar cannot overflow.
bool indexInRange(int index, Slot slot, const Counts& sofar, const Counts& total) {
  const long long sofarOfSet[] = {sofar.position, sofar.texture, sofar.normal};
  const long long totalOfSet[] = {total.position, total.texture, total.normal};
  if (slot != kPosition && totalOfSet[slot] == 0) return true;
  return index > 0 ? index <= totalOfSet[slot] : index >= -sofarOfSet[slot];
}

// How far Assimp's reader steps after reading an index: one character, one more for a minus
// sign and one for each further digit of the value it read, whatever the text held. So
// "05" or "+5" is read as two indices, the second from the "5".
size_t stepAfter(int index) {
  size_t step = index < 0 ? 2 : 1;
  for (int rest = index / 10; rest != 0; rest /= 10) ++step;
  return step;
}

// Walks a face, line or point statement as Assimp's reader does, character by character
// after the statement's word and its blanks: a slash moves to the corner's next slot, a
// blank back to its position, and any other character starts an index read as atoi reads
// it. A 0 (or no number) makes Assimp refuse the file at once, without a leak. An index in a
// fourth slot is refused too: there Assimp skips to the statement's end and reads on past it,
// into whatever longer line it read before, so what it makes of the face is down to that.
// A line needs two points: one point makes a mesh of no vertices, which Assimp leaks too.
bool faceIsSound(const std::string& line, const Counts& sofar, const Counts& total) {
  size_t i = firstWord(line).size();
  while (i < line.size() && isAssimpBlank(line[i])) ++i;
  int slot = kPosition, positions = 0;
  while (i < line.size()) {
    if (line[i] == '/') {
      ++slot;
      ++i;
      continue;
    }
    if (isAssimpBlank(line[i])) {
      slot = kPosition;
      ++i;
      continue;
    }
    const int index = std::atoi(line.c_str() + i);
    if (index == 0) return false;
    // With normals but no texture coordinates so far, Assimp takes the second slot for the
    // normal, and a slash after it then opens a fourth.
    if (slot == kTexture && sofar.texture == 0 && sofar.normal > 0) slot = kNormal;
    if (slot > kNormal) return false;
    if (!indexInRange(index, static_cast<Slot>(slot), sofar, total)) return false;
    positions += slot == kPosition ? 1 : 0;
    i += stepAfter(index);
  }
  return !(line[0] == 'l' && positions == 1);
}

// A definition whose line ends in a backslash (one can follow a continuing backslash, which
// Assimp's reader copies unchecked) makes Assimp count its numbers on past the line's end,
// into whatever longer line it read before: what it keeps is down to that.
bool definitionRunsOn(const std::string& line) { return line[0] == 'v' && line.back() == '\\'; }

}  // namespace

bool faceStatementsAreSound(const std::vector<std::string>& lines) {
  Counts total, sofar;
  for (const std::string& line : lines) {
    if (definitionRunsOn(line)) return false;
    count(line, total);
  }
  for (const std::string& line : lines) {
    count(line, sofar);
    if (isFace(line) && !faceIsSound(line, sofar, total)) return false;
  }
  return true;
}

}  // namespace varn::assets
