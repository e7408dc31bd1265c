// The game's assets: the generator reproduces the committed files byte for byte, and the button's
// fixed hit box matches the drawn button. How the models look: the reference pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "GlTest.h"
#include "TempDir.h"
#include "assets/Model.h"
#include "scene/Button.h"

namespace varn::test {
namespace {

namespace fs = std::filesystem;
using assets::Mesh;
using assets::Model;

const char* const kButton = "Models/map/destructionbutton.obj";

// Least and greatest vertex positions of the given meshes.
struct Extent {
  glm::vec3 least{1e9f}, greatest{-1e9f};
  explicit Extent(const std::vector<Mesh>& meshes) {
    for (const Mesh& mesh : meshes)
      for (const auto& v : mesh.vertices)
        least = glm::min(least, v.position), greatest = glm::max(greatest, v.position);
  }
};

TEST(AssetGenerator, ReproducesTheCommittedFilesByteForByte) {
  const fs::path source = MORROWGEAR_SOURCE_DIR;
  TempDir out;
  const std::string command = std::string("'") + MORROWGEAR_ASSETGEN + "' '" + out.path().string() + "' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::vector<std::string> generated = filesBelow(out.path(), {"Models", "Images", "Sounds"});
  ASSERT_FALSE(generated.empty());
  EXPECT_EQ(generated, filesBelow(source, {"Models", "Images", "Sounds"}))
      << "the committed assets and the generator's list of files differ";
  for (const std::string& file : generated) {
    EXPECT_TRUE(readFile(out.path() / file) == readFile(source / file))
        << file << " differs from what assetgen writes; run assetgen on the repository root and commit";
  }
}

class Assets : public GlTest {};

TEST_F(Assets, TheButtonsHitBoxLiesOnTheDrawnButtonAndCoversMostOfItsFace) {
  const Model model(kButton, nullptr);
  const scene::Button button(model, glm::mat4(1.0f));
  const Extent drawn(model.meshes);
  const glm::vec3 a = button.worldCornerA, b = button.worldCornerB, size = drawn.greatest - drawn.least;
  EXPECT_TRUE(a.x >= drawn.least.x && b.x <= drawn.greatest.x && a.y >= drawn.least.y && b.y <= drawn.greatest.y);
  // The panel's rim round the button takes the rest of the drawn face; the hazard frame and the
  // lamp belong to the level, which culls them by boxes of their own.
  EXPECT_GT((b.x - a.x) * (b.y - a.y), 0.7f * size.x * size.y);
  EXPECT_TRUE(drawn.least.z <= b.z && a.z <= drawn.greatest.z) << "the box's plane cuts through the button";
}

}  // namespace
}  // namespace varn::test
