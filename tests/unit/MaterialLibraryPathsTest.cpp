// The check of the libraries a model names: a library whose path ends in "://" would send
// Assimp's path tidying past the end of the string, so the model is refused; any other name,
// found or not, is Assimp's to look for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/AssimpLines.h"
#include "assets/MaterialLibraryPaths.h"

namespace varn::test {
namespace {

struct Case {
  std::string rest;  // what follows a first line holding a position
  bool safe;
};

void expectVerdicts(const std::string& modelPath, const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const std::vector<std::string> statements = assets::assimpObjStatements("v 0 0 0\n" + c.rest);
    EXPECT_EQ(assets::materialLibraryPathsAreSafe(modelPath, statements), c.safe) << testing::PrintToString(c.rest);
  }
}

TEST(MaterialLibraryPaths, AModelNamingALibraryWhosePathEndsInASchemeMarkIsRefusedAndNoOtherIs) {
  expectVerdicts("Models/model.obj",
                 {
                     {"mtllib a://\n", false},
                     {"mtllib \t a://\r\n", false},           // blanks before the name, any line end after
                     {"mtllib a://", false},                  // at the end of the file
                     {"x\rmtllib a://\n", false},             // a carriage return starts a line
                     {"mtllib b\\\nc://\n", false},           // a backslash joins the next line to the name
                     {std::string("mtllib a://\0z\n", 14), false},  // a NUL ends the name
                     {"mtllib a.mtl\nmtllib a://\n", false},  // every library, not only the first
                     {"mtllib a:// \n", true},                // the name keeps its trailing blank
                     {"mtllib a:///\n", true},
                     {"mtllib a://b\n", true},
                     {"mtllib missing.mtl\n", true},
                     {" mtllib a://\n", true},                // a line that starts with a blank is no statement
                     {"x\r mtllib a://\n", true},
                     {"mtllibx a://\n", true},                // the statement's word must be exact
                     {"mtllib/x a://\n", true},
                     {"# mtllib a://\n", true},
                     {"mtllib b\\\n\nc://\n", true},          // the joined line ends at the second feed
                     {"mtllib\n", true},
                     {"cstype b\nmtllib a://\nend\n", true},  // a curve section is passed over
                     {"cstype b\nend\nmtllib a://\n", false},
                 });
}

TEST(MaterialLibraryPaths, TheLibraryIsLookedForInTheModelsFolder) {
  EXPECT_EQ(assets::materialLibraryPath("Models/level.obj", "level.mtl"), "Models/level.mtl");
  EXPECT_EQ(assets::materialLibraryPath("Models\\level.obj", "level.mtl"), "Models/level.mtl");
  EXPECT_EQ(assets::materialLibraryPath("Models//level.obj", "level.mtl"), "Models/level.mtl");
  EXPECT_EQ(assets::materialLibraryPath("level.obj", "level.mtl"), "level.mtl");
  EXPECT_EQ(assets::materialLibraryPath("/level.obj", "level.mtl"), "level.mtl");  // no folder is kept at the root
  // The folder's own end can make the mark: "a:" and "/" make "a://".
  expectVerdicts("a:/model.obj", {{"mtllib /\n", false}, {"mtllib //\n", true}});
  expectVerdicts("model.obj", {{"mtllib /\n", true}});
}

}  // namespace
}  // namespace varn::test
