// The game's assets: the generator reproduces the committed files byte for byte, and the
// models, loaded through the game's own loader, have the shapes, sizes and level layout
// that the game's fixed numbers rely on; the real robot physics walks the level's route.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <glm/gtc/matrix_transform.hpp>
#include <iterator>
#include <string>
#include <vector>

#include "GlTest.h"
#include "LevelRoute.h"
#include "TempDir.h"
#include "assets/Model.h"
#include "scene/Box.h"
#include "scene/Camera.h"
#include "scene/Character.h"
#include "scene/Map.h"

namespace varn::test {
namespace {

namespace fs = std::filesystem;
using assets::Mesh;
using assets::Model;
using scene::CollisionBox;
using scene::Map;

const char* const kLevel = "Models/map/map_bricks.obj";
const char* const kEnemyBody = "Models/robot/robot_cel_without_saw.obj";
const char* const kButton = "Models/map/destructionbutton.obj";
const char* const kEnemySaw = "Models/robot/robot_saw.obj";
const char* const kBullet = "Models/bullet/bullet.obj";
const char* const kRobot = "Models/character/kelbo_big.obj";

const glm::mat4 kLevelPlacement = glm::translate(glm::mat4(1.0f), glm::vec3(0, -1, 0));
constexpr float kRobotScale = 0.25f;
// The button's fixed box: x 42.4..43.8, y 7.1..8.9 in the plane z = -36.5.
constexpr float kButtonX0 = 42.4f, kButtonX1 = 43.8f, kButtonY0 = 7.1f, kButtonY1 = 8.9f, kButtonZ = -36.5f;

// Every file below root/Models and root/Images, as sorted paths relative to root.
std::vector<std::string> assetFiles(const fs::path& root) {
  std::vector<std::string> files;
  for (const char* folder : {"Models", "Images"}) {
    for (const auto& entry : fs::recursive_directory_iterator(root / folder))
      if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), root).generic_string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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
#ifndef MORROWGEAR_ASSETGEN
  GTEST_SKIP() << "the assetgen target is not part of this build";
#else
  const fs::path source = MORROWGEAR_SOURCE_DIR;
  TempDir out;
  const std::string command = std::string("'") + MORROWGEAR_ASSETGEN + "' '" + out.path().string() + "' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::vector<std::string> generated = assetFiles(out.path());
  ASSERT_FALSE(generated.empty());
  EXPECT_EQ(generated, assetFiles(source)) << "the committed assets and the generator's list of files differ";
  for (const std::string& file : generated) {
    EXPECT_TRUE(readFile(out.path() / file) == readFile(source / file))
        << file << " differs from what assetgen writes; run assetgen on the repository root and commit";
  }
#endif
}

class Assets : public GlTest {};

TEST_F(Assets, EveryMeshHasNormalsTextureCoordinatesAndATextureWithinItsBudget) {
  // Robots are drawn three times and the level twice a frame on a software renderer;
  // an enemy's budget covers body and saw.
  const std::pair<std::vector<const char*>, std::size_t> budgets[] = {
      {{kLevel}, 1500}, {{kButton}, 120}, {{kEnemyBody, kEnemySaw}, 800}, {{kRobot}, 800}, {{kBullet}, 60}};
  for (const auto& [paths, budget] : budgets) {
    std::size_t triangles = 0;
    for (const char* path : paths) {
      SCOPED_TRACE(path);
      const Model model(path, nullptr);
      ASSERT_FALSE(model.meshes.empty());
      for (const Mesh& mesh : model.meshes) {
        ASSERT_FALSE(mesh.vertices.empty());
        triangles += mesh.indices.size() / 3;
        bool anyTexCoord = false;
        for (const auto& v : mesh.vertices) {
          ASSERT_NEAR(glm::length(v.normal), 1.0f, 1e-3f) << "a vertex without a unit normal";
          anyTexCoord = anyTexCoord || v.texCoords != glm::vec2(0.0f);
        }
        EXPECT_TRUE(anyTexCoord) << "a mesh without texture coordinates";
        ASSERT_EQ(mesh.textures.size(), 1u) << "colour comes from one diffuse texture";
        EXPECT_TRUE(fs::exists(fs::path(model.directory) / mesh.textures[0].path.C_Str()));
      }
    }
    EXPECT_LE(triangles, budget) << paths[0];
  }
}

TEST_F(Assets, LevelPiecesAreTheFloorsWallsAndBlocksTheyLookLike) {
  const Model model(kLevel, nullptr);
  const Map map(model, kLevelPlacement);
  // What each piece looks like, judged from its own shape: a solid is a block, a
  // horizontal quad with its normal on the y axis a floor, an upright quad a wall.
  std::vector<CollisionBox> floors, walls, blocks;
  for (std::size_t i = 0; i < model.meshes.size(); ++i) {
    SCOPED_TRACE("mesh " + std::to_string(i));
    const Extent e({model.meshes[i]});
    const CollisionBox box{scene::transformPoint(kLevelPlacement, {e.least.x, e.least.y, e.greatest.z}),
                           scene::transformPoint(kLevelPlacement, {e.greatest.x, e.greatest.y, e.least.z})};
    const glm::vec3 size = e.greatest - e.least, n = model.meshes[i].vertices.front().normal;
    if (model.meshes[i].vertices.size() > 6) {
      EXPECT_TRUE(size.x > 0.0f && size.y > 0.0f && size.z > 0.0f) << "a solid stands out in every direction";
      blocks.push_back(box);
    } else if (size.y == 0.0f) {
      EXPECT_TRUE(size.x > 0.0f && size.z > 0.0f && n.x == 0.0f && n.z == 0.0f);
      floors.push_back(box);
    } else {
      EXPECT_TRUE((size.x == 0.0f && n.y == 0.0f && n.z == 0.0f) || (size.z == 0.0f && n.x == 0.0f && n.y == 0.0f))
          << "an upright quad flat in x or z, its normal across that plane";
      walls.push_back(box);
    }
  }
  const auto same = [](const std::vector<CollisionBox>& a, const std::vector<CollisionBox>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const auto& p, const auto& q) { return p.cornerA == q.cornerA && p.cornerB == q.cornerB; });
  };
  EXPECT_TRUE(same(map.floorBoxes, floors)) << map.floorBoxes.size() << " floors, expected " << floors.size();
  EXPECT_TRUE(same(map.wallBoxes, walls)) << map.wallBoxes.size() << " walls, expected " << walls.size();
  EXPECT_TRUE(same(map.blockBoxes, blocks)) << map.blockBoxes.size() << " blocks, expected " << blocks.size();
  EXPECT_GE(blocks.size(), 14u) << "at least the fourteen steps";
}

TEST_F(Assets, ButtonSitsInTheBackWallOfTheRoomTheRouteEndsIn) {
  const Map map(Model(kLevel, nullptr), kLevelPlacement);
  // The wall plane z = -36.5 frames the button's box on all four sides.
  bool left = false, right = false, below = false, above = false;
  for (const CollisionBox& w : map.wallBoxes) {
    if (w.cornerA.z != kButtonZ || w.cornerB.z != kButtonZ) continue;
    const bool spansHeight = w.cornerA.y <= kButtonY0 && w.cornerB.y >= kButtonY1;
    const bool spansWidth = w.cornerA.x <= kButtonX0 && w.cornerB.x >= kButtonX1;
    left = left || (spansHeight && w.cornerB.x <= kButtonX0 && w.cornerB.x >= kButtonX0 - 0.3f);
    right = right || (spansHeight && w.cornerA.x >= kButtonX1 && w.cornerA.x <= kButtonX1 + 0.3f);
    below = below || (spansWidth && w.cornerB.y <= kButtonY0 && w.cornerB.y >= kButtonY0 - 0.3f);
    above = above || (spansWidth && w.cornerA.y >= kButtonY1 && w.cornerA.y <= kButtonY1 + 0.3f);
  }
  EXPECT_TRUE(left && right && below && above) << left << right << below << above;
  // The floor under the shooting position, the route's end, runs up to that wall.
  const glm::vec3 shooting = route::kShootingPosition;
  EXPECT_TRUE(std::any_of(map.floorBoxes.begin(), map.floorBoxes.end(), [&](const CollisionBox& f) {
    return f.cornerA.x <= shooting.x && shooting.x <= f.cornerB.x && f.cornerB.z <= shooting.z &&
           shooting.z <= f.cornerA.z && f.cornerA.y == shooting.y && f.cornerB.z == kButtonZ;
  }));
}

TEST_F(Assets, RobotsCornersMatchTheirSizes) {
  // The player's robot, drawn at scale 0.25: feet at 0, about 8 tall, facing -z.
  const Model robot(kRobot, nullptr);
  EXPECT_EQ(Extent(robot.meshes).least.y, 0.0f) << "the feet, and so corner A, at 0";
  EXPECT_TRUE(robot.cornerB.y >= 7.5f && robot.cornerB.y <= 8.5f) << robot.cornerB.y;
  EXPECT_LE((robot.cornerB.x - robot.cornerA.x) * kRobotScale, 1.5f) << "the robot must fit the corridors";
  EXPECT_GT(-robot.cornerB.z, robot.cornerA.z) << "the cannon points forward, along -z";
  // The enemy, unscaled: treads at -1 on the start floor, about 2 tall.
  const Model enemy(kEnemyBody, nullptr);
  EXPECT_EQ(enemy.cornerA.y, -1.0f);
  EXPECT_NEAR(enemy.cornerB.y - enemy.cornerA.y, 2.0f, 0.1f);
}

// The real robot physics on the real level, at 1/60 s frames and at the 0.1 s cap.
class RouteThroughTheLevel : public GlTest, public ::testing::WithParamInterface<double> {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    robotModel = Model(kRobot, nullptr);
    robot = scene::Character(robotModel, glm::scale(glm::mat4(1.0f), glm::vec3(kRobotScale)),
                             Map(Model(kLevel, nullptr), kLevelPlacement), &camera);
    robot.updateBoundingBox();
  }

  // Plays the legs as the controls do (jump, move, update), checking after each that the
  // robot is over the leg's floor, standing or in the air from a jump, or fell out.
  template <size_t N>
  void play(const route::Leg (&legs)[N], int count = static_cast<int>(N)) {
    const double dt = GetParam();
    for (int i = 0; i < count; ++i) {
      const route::Leg& leg = legs[i];
      for (int frame = 0; frame < (dt > 0.05 ? leg.frames / route::kFramesPerTenth : leg.frames); ++frame) {
        if (leg.jump) robot.jump();
        robot.move(static_cast<float>(dt), leg.forward, leg.backward, leg.left, leg.right);
        robot.update(dt);
        lowestY = std::min(lowestY, robot.worldCornerA.y);
      }
      const glm::vec3 p(robot.modelMatrix[3]);
      SCOPED_TRACE(testing::Message() << "after: " << leg.what << " at " << p.x << ", " << p.y << ", " << p.z);
      if (leg.floorY < route::kFallOutY) {
        EXPECT_LT(robot.worldCornerA.y, route::kFallOutY);
      } else {
        EXPECT_GE(robot.worldCornerA.y, leg.floorY);
        EXPECT_LE(robot.worldCornerA.y, leg.floorY + 1.3f);
      }
    }
  }

  scene::Camera camera;
  Model robotModel;
  scene::Character robot;
  float lowestY = 1e9f;
};

TEST_P(RouteThroughTheLevel, WalksAndJumpsFromTheStartToTheShootingPosition) {
  play(route::kStartToButtonRoom);
  const glm::vec3 p(robot.modelMatrix[3]);
  EXPECT_NEAR(p.x, route::kShootingPosition.x, route::kShootingTolerance);
  EXPECT_NEAR(p.z, route::kShootingPosition.z, route::kShootingTolerance);
  EXPECT_GE(robot.worldCornerA.y, route::kShootingPosition.y);
  EXPECT_LE(robot.worldCornerA.y, route::kShootingPosition.y + 0.2f);
  // The shoulder, where shots leave from, is level with the button.
  EXPECT_GT(p.y + 1.5f, kButtonY0 + 0.1f);
  EXPECT_LT(p.y + 1.5f, kButtonY1 - 0.1f);
  EXPECT_GT(lowestY, -1.01f) << "the robot never dropped below the start floor";
}

TEST_P(RouteThroughTheLevel, FallsOutOfTheLevelOverTheHallsOpenEdge) {
  play(route::kStartToButtonRoom, route::kLegsToHallDoorway);
  play(route::kHallToOpenEdge);
}

INSTANTIATE_TEST_SUITE_P(FrameTimes, RouteThroughTheLevel, ::testing::Values(1.0 / 60.0, 0.1),
                         [](const ::testing::TestParamInfo<double>& info) {
                           return info.param > 0.05 ? std::string("AtTheCap") : std::string("At60Hz");
                         });

}  // namespace
}  // namespace varn::test
