// The face check before Assimp reads a model, held against Assimp itself: over thousands of
// small files made of positions, objects, comments, curve sections, blanks, every kind of
// line end and continuing backslashes, with faces whose indices are written in every way
// Assimp reads, the check refuses every face Assimp finds out of
// range (where Assimp would leak the meshes before it) and never one that Assimp loads.
#include <gtest/gtest.h>

#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "TempDir.h"
#include "assets/AssimpLines.h"
#include "assets/ObjFaceStatements.h"

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

namespace varn::test {
namespace {

#ifdef __SANITIZE_ADDRESS__
// Every read maps Assimp's 16 MiB line buffer afresh under the sanitizer; fewer files keep
// that build's run short while still reaching every branch of the check.
constexpr int kFiles = 200;
#else
constexpr int kFiles = 600;
#endif

// The pieces the files are made of; at most one position per piece.
const std::vector<std::string> kPieces = {
    "v 0 0 0", "v 1 2 3", "v 0 0", "v",  "o a", "x", "# c",           "\\",
    "\n",      "\r",      "\f",    " ", "\t",  "",  std::string(1, '\0'), "cstype b", "end",
    "v 1\v2 3",  // Assimp splits words at spaces and tabs only: two components, no position
};

// A face naming position n in one of the ways Assimp's reader reads an index: after a number
// it steps on by that number's own digits, so a plus sign or a leading zero makes it read the
// rest again.
std::string faceNaming(int n, unsigned way) {
  const std::string i = std::to_string(n);
  switch (way % 6) {
    case 0: return "f " + i + " " + i + " " + i;
    case 1: return "f +" + i + " " + i;
    case 2: return "f 0" + i + " " + i;
    case 3: return "f " + i + "+9 " + i;
    case 4: return "f -" + i + " -" + i + " -" + i;  // back from the face
    default: return "f " + i + "/" + i + "/" + i + " " + i + "//" + i;  // texture and normal slots the file has none of
  }
}

struct AssimpVerdict {
  bool loads = false;
  bool faceOutOfRange = false;
};

// What Assimp itself makes of a file, through its own file system and without the check.
AssimpVerdict assimpReads(const std::string& path) {
#ifdef __SANITIZE_ADDRESS__
  // Assimp leaks the meshes before a face out of range: that is the leak the check spares
  // the game, not one of the game's own.
  __lsan::ScopedDisabler assimpsOwnLeaks;
#endif
  Assimp::Importer importer;
  AssimpVerdict verdict;
  verdict.loads = importer.ReadFile(path, 0) != nullptr;
  verdict.faceOutOfRange = std::string(importer.GetErrorString()).find("vertex index out of range") != std::string::npos;
  return verdict;
}

TEST(ObjFaceStatements, RefuseEveryFaceAssimpFindsOutOfRangeAndNoneItLoads) {
  TempDir dir;
  std::mt19937 random(20261208);
  int outOfRange = 0, loaded = 0;
  for (int file = 0; file < kFiles; ++file) {
    std::string start;
    const int pieces = 1 + static_cast<int>(random() % 12);
    for (int piece = 0; piece < pieces; ++piece) start += kPieces[random() % kPieces.size()];
    // A face naming each position the start might hold, and one past them all.
    for (int index = 1; index <= pieces + 1; ++index) {
      const std::string contents = start + "\n" + faceNaming(index, random()) + "\n";
      const std::string path = dir.write("model.obj", contents);
      const AssimpVerdict assimp = assimpReads(path);
      const bool sound = assets::faceStatementsAreSound(assets::assimpObjStatements(contents));
      outOfRange += assimp.faceOutOfRange ? 1 : 0;
      loaded += assimp.loads ? 1 : 0;
      if (assimp.faceOutOfRange) {
        EXPECT_FALSE(sound) << testing::PrintToString(contents);
      }
      if (assimp.loads) {
        EXPECT_TRUE(sound) << testing::PrintToString(contents);
      }
    }
  }
  // Both kinds of file were made often enough for the comparison to mean something.
  EXPECT_GT(outOfRange, kFiles / 6);
  EXPECT_GT(loaded, kFiles / 6);
}

// Where Assimp would read on past a statement's line into an earlier line's bytes, what it
// makes of the model is down to those bytes, so the check refuses it; the same statements
// kept within their line load.
TEST(ObjFaceStatements, RefuseWhatWouldSendAssimpPastTheEndOfItsLine) {
  const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
  const std::vector<std::pair<std::string, bool>> cases = {
      {"f 1/1/1 2 3\n", true},
      {"f 1/1/1/1 2 3\n", false},             // an index in a fourth slot
      {"vn 0 0 1\nf 1/1 2 3\n", true},        // the second slot is taken for the normal...
      {"vn 0 0 1\nf 1/1/1 2 3\n", false},     // ...so a third slash opens a fourth
      {"v 1 1 0 \\\nx\nf 1 2 3\n", true},    // a continuation joins "x" to the position
      {"v 1 1 0 \\\n\\\nf 1 2 3\n", false},  // it copies a second backslash unchecked
  };
  for (const auto& [rest, sound] : cases) {
    EXPECT_EQ(assets::faceStatementsAreSound(assets::assimpObjStatements(triangle + rest)), sound)
        << testing::PrintToString(rest);
  }
}

}  // namespace
}  // namespace varn::test
