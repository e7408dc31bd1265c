// The game's assets: the generator reproduces the committed files byte for byte, and the
// models, loaded through the game's own loader, have the shapes, sizes and level layout
// that the game's fixed numbers (placements, lights, the button's box) rely on; the real
// robot physics walks the level from the start to the button room.
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
#include "GlobalsReset.h"
#include "LevelRoute.h"
#include "TempDir.h"
#include "app/Globals.h"
#include "assets/Model.h"
#include "scene/Box.h"
#include "scene/Bullet.h"
#include "scene/Button.h"
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
const char* const kButton = "Models/map/destructionbutton.obj";
const char* const kEnemyBody = "Models/robot/robot_cel_without_saw.obj";
const char* const kEnemySaw = "Models/robot/robot_saw.obj";
const char* const kRobot = "Models/character/kelbo_big.obj";
const char* const kBullet = "Models/bullet/bullet.obj";

// The six lights of the render set-up, and the placements the game gives its objects.
const glm::vec3 kLights[] = {{0, 6, 0},           {7, 6, -17.5f},      {19, 10, -17.5f},
                             {29.5f, 10, -20.5f}, {41.5f, 11, -20.5f}, {42, 13, -31}};
const glm::mat4 kLevelPlacement = glm::translate(glm::mat4(1.0f), glm::vec3(0, -1, 0));
constexpr float kRobotScale = 0.25f;
// The button's fixed box: x 42.4..43.8, y 7.1..8.9 in the plane z = -36.5.
constexpr float kButtonX0 = 42.4f, kButtonX1 = 43.8f, kButtonY0 = 7.1f, kButtonY1 = 8.9f, kButtonZ = -36.5f;

// Every file below root/Models and root/Images, as sorted paths relative to root.
std::vector<std::string> assetFiles(const fs::path& root) {
  std::vector<std::string> files;
  for (const char* folder : {"Models", "Images"}) {
    if (!fs::exists(root / folder)) continue;
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

// Least and greatest vertex positions of a mesh, or of every mesh of a model.
struct Extent {
  glm::vec3 least{1e9f}, greatest{-1e9f};
  glm::vec3 size() const { return greatest - least; }
  void add(const Mesh& mesh) {
    for (const auto& v : mesh.vertices) least = glm::min(least, v.position), greatest = glm::max(greatest, v.position);
  }
};
Extent extentOf(const Mesh& mesh) {
  Extent e;
  e.add(mesh);
  return e;
}
Extent extentOf(const Model& model) {
  Extent e;
  for (const Mesh& mesh : model.meshes) e.add(mesh);
  return e;
}

bool covers(const CollisionBox& box, float x, float z) {
  return box.cornerA.x <= x && x <= box.cornerB.x && box.cornerB.z <= z && z <= box.cornerA.z;
}

// The highest floor or block top at (x, z) that lies below `below`, or -1000 if none.
float surfaceUnder(const Map& map, float x, float z, float below) {
  float best = -1000.0f;
  for (const auto* list : {&map.floorBoxes, &map.blockBoxes})
    for (const CollisionBox& box : *list)
      if (covers(box, x, z) && box.cornerB.y < below) best = std::max(best, box.cornerB.y);
  return best;
}

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

class Assets : public GlTest {
 protected:
  void TearDown() override {
    resetGlobals();
    GlTest::TearDown();
  }
};

TEST_F(Assets, EveryMeshHasNormalsTextureCoordinatesAndATextureWithinItsBudget) {
  // The robots are drawn three times and the level twice a frame, at about a microsecond a
  // triangle and pass on a software renderer; an enemy's budget covers body and saw.
  const std::pair<std::vector<const char*>, std::size_t> budgets[] = {
      {{kLevel}, 1500}, {{kButton}, 100}, {{kEnemyBody, kEnemySaw}, 800}, {{kRobot}, 800}, {{kBullet}, 60}};
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
        // Colour comes only from the diffuse texture: the passes upload white materials.
        ASSERT_EQ(mesh.textures.size(), 1u);
        EXPECT_EQ(mesh.textures[0].type, "texture_diffuse");
        EXPECT_TRUE(fs::exists(fs::path(model.directory) / mesh.textures[0].path.C_Str()))
            << mesh.textures[0].path.C_Str();
      }
    }
    EXPECT_LE(triangles, budget) << paths[0];
  }
}

TEST_F(Assets, LevelPiecesAreTheFloorsWallsAndBlocksTheyLookLike) {
  const Model model(kLevel, nullptr);
  ASSERT_FALSE(model.meshes.empty());
  const Map map(model, kLevelPlacement);
  std::vector<CollisionBox> floors, walls, blocks;
  for (std::size_t i = 0; i < model.meshes.size(); ++i) {
    SCOPED_TRACE("mesh " + std::to_string(i));
    const Mesh& mesh = model.meshes[i];
    const Extent e = extentOf(mesh);
    const CollisionBox box{scene::transformPoint(kLevelPlacement, {e.least.x, e.least.y, e.greatest.z}),
                           scene::transformPoint(kLevelPlacement, {e.greatest.x, e.greatest.y, e.least.z})};
    const glm::vec3 size = e.size(), n = mesh.vertices.front().normal;
    if (mesh.vertices.size() > 6) {
      EXPECT_TRUE(size.x > 0.0f && size.y > 0.0f && size.z > 0.0f) << "a solid stands out in every direction";
      blocks.push_back(box);
    } else if (size.y == 0.0f) {
      // A horizontal quad: its first normal must lie exactly on the y axis.
      EXPECT_TRUE(size.x > 0.0f && size.z > 0.0f && n.x == 0.0f && n.z == 0.0f);
      floors.push_back(box);
    } else {
      // An upright quad, flat in x or in z, with its normal exactly across that plane.
      EXPECT_TRUE((size.x == 0.0f && n.y == 0.0f && n.z == 0.0f) || (size.z == 0.0f && n.x == 0.0f && n.y == 0.0f))
          << "size " << size.x << " " << size.y << " " << size.z << ", normal " << n.x << " " << n.y << " " << n.z;
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
  EXPECT_GE(floors.size(), 8u);
  EXPECT_GE(walls.size(), 40u);
  EXPECT_GE(blocks.size(), 14u) << "at least the fourteen steps";
}

TEST_F(Assets, FloorsLieAboutSevenBelowEachLightAndEnemiesStartOnOpenFloor) {
  const Map map(Model(kLevel, nullptr), kLevelPlacement);
  // Each light's shadow camera sees from 2 to 10 units straight down.
  for (const glm::vec3& light : kLights) {
    const float drop = light.y - surfaceUnder(map, light.x, light.z, light.y);
    EXPECT_TRUE(drop >= 6.5f && drop <= 7.5f) << "light at " << light.x << ", " << light.z << ": " << drop;
  }
  // The robot drops from the origin onto the start floor; the enemies stand on it, clear of every wall and prop.
  EXPECT_EQ(surfaceUnder(map, 0.0f, 0.0f, 0.0f), -1.0f);
  const Model enemy(kEnemyBody, nullptr);
  for (const glm::vec3& place : {glm::vec3(-4, 0, -5), glm::vec3(4, 0, 3)}) {
    SCOPED_TRACE("enemy at " + std::to_string(place.x) + ", " + std::to_string(place.z));
    EXPECT_FLOAT_EQ(place.y + enemy.cornerA.y, -1.0f) << "the enemy's treads stand on the start floor";
    EXPECT_EQ(surfaceUnder(map, place.x, place.z, 0.0f), -1.0f);
    const glm::vec3 lifted = place + enemy.cornerA + glm::vec3(0.0f, 0.01f, 0.0f);
    for (const auto* list : {&map.wallBoxes, &map.blockBoxes})
      for (const CollisionBox& box : *list)
        EXPECT_FALSE(scene::boxesOverlap(box.cornerA, box.cornerB, lifted, place + enemy.cornerB));
  }
}

TEST_F(Assets, ButtonSitsInTheButtonRoomsBackWallAndAStraightShotReachesIt) {
  const Map map(Model(kLevel, nullptr), kLevelPlacement);
  // The wall plane z = -36.5 frames the button's face on all four sides.
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
  // ... and it is the back wall of the room the route ends in.
  const glm::vec3 shooting = route::kShootingPosition;
  const float floorY = surfaceUnder(map, shooting.x, shooting.z, 7.0f);
  EXPECT_FLOAT_EQ(floorY, shooting.y);
  EXPECT_TRUE(std::any_of(map.floorBoxes.begin(), map.floorBoxes.end(), [&](const CollisionBox& f) {
    return covers(f, shooting.x, shooting.z) && f.cornerA.y == floorY && f.cornerB.z == kButtonZ;
  }));

  // The model: a face on the wall plane that covers the box and stands a little proud of it.
  const Model buttonModel(kButton, nullptr);
  const Extent button = extentOf(buttonModel);
  EXPECT_TRUE(button.least.x <= kButtonX0 + 0.05f && button.greatest.x >= kButtonX1 - 0.05f);
  EXPECT_TRUE(button.least.y <= kButtonY0 + 0.05f && button.greatest.y >= kButtonY1 - 0.05f);
  EXPECT_TRUE(button.greatest.z > kButtonZ && button.greatest.z < kButtonZ + 0.2f);

  // A shot fired at -z from the shoulder, anywhere around the shooting position, meets the
  // button before anything of the level (the game asks the level first).
  levelMap = map;
  destructionButton = scene::Button(buttonModel, glm::mat4(1.0f));
  const Model bulletModel(kBullet, nullptr);
  const float t = route::kShootingTolerance;
  for (const glm::vec2& offset :
       {glm::vec2(0, 0), glm::vec2(-t, -t), glm::vec2(t, -t), glm::vec2(-t, t), glm::vec2(t, t)}) {
    const glm::vec3 shoulder = shooting + glm::vec3(offset.x, 1.5f, offset.y), direction(0, 0, -1);
    scene::Bullet bullet(bulletModel, glm::translate(glm::mat4(1.0f), shoulder + direction), direction);
    bool hitButton = false, hitLevel = false;
    for (int frame = 0; frame < 240 && !hitButton && !hitLevel; ++frame) {
      bullet.update(1.0 / 60.0);
      hitLevel = bullet.hitsMap();
      hitButton = !hitLevel && bullet.hitsButton();
    }
    EXPECT_TRUE(hitButton && !hitLevel) << "shoulder at " << shoulder.x << ", " << shoulder.z;
  }
}

TEST_F(Assets, RobotsSawAndBulletHaveTheirSizes) {
  // The player's robot, drawn at scale 0.25: feet at 0, about 8 tall, facing -z.
  const Model robot(kRobot, nullptr);
  const Extent r = extentOf(robot);
  EXPECT_EQ(r.least.y, 0.0f);
  EXPECT_EQ(robot.cornerA.y, 0.0f);
  EXPECT_EQ(robot.cornerB.y, r.greatest.y);
  EXPECT_TRUE(r.greatest.y >= 7.5f && r.greatest.y <= 8.5f) << r.greatest.y;
  EXPECT_LE(r.size().x * kRobotScale, 1.5f) << "the robot must fit the corridors";
  EXPECT_GT(-r.least.z, r.greatest.z) << "the cannon points forward, along -z";

  // The enemy, unscaled: treads at -1, about 2 tall.
  const Model body(kEnemyBody, nullptr);
  const Extent e = extentOf(body);
  EXPECT_EQ(e.least.y, -1.0f);
  EXPECT_EQ(body.cornerA.y, -1.0f);
  EXPECT_NEAR(e.size().y, 2.0f, 0.1f);

  // The saw spins about the body's x axis through the origin: centred on that axis, beside
  // the body, and clear of the floor.
  const Model saw(kEnemySaw, nullptr);
  const Extent s = extentOf(saw);
  EXPECT_NEAR(s.least.y + s.greatest.y, 0.0f, 1e-3f);
  EXPECT_NEAR(s.least.z + s.greatest.z, 0.0f, 1e-3f);
  EXPECT_GE(s.greatest.y, 0.4f) << "a blade of some size";
  EXPECT_LT(s.greatest.y, 0.9f) << "the spinning blade must not cut the floor";
  float bladeLeast = 1e9f;
  for (const Mesh& mesh : saw.meshes)
    for (const auto& v : mesh.vertices)
      if (glm::length(glm::vec2(v.position.y, v.position.z)) > 0.2f) bladeLeast = std::min(bladeLeast, v.position.x);
  EXPECT_GT(bladeLeast, e.greatest.x) << "the blade turns beside the body, not through it";

  // The bullet: about 0.2 across, around its origin.
  const Extent b = extentOf(Model(kBullet, nullptr));
  for (int axis = 0; axis < 3; ++axis) {
    EXPECT_TRUE(b.size()[axis] >= 0.15f && b.size()[axis] <= 0.25f) << b.size()[axis];
    EXPECT_NEAR(b.least[axis] + b.greatest[axis], 0.0f, 1e-3f);
  }
}

// ---- The real robot physics on the real level

class RouteThroughTheLevel : public GlTest, public ::testing::WithParamInterface<double> {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    robotModel = Model(kRobot, nullptr);
    robot = scene::Character(robotModel, glm::scale(glm::mat4(1.0f), glm::vec3(kRobotScale)),
                             Map(Model(kLevel, nullptr), kLevelPlacement), &camera);
    robot.updateBoundingBox();
  }

  // Plays one leg as the controls do: jump (if Space), move, then the robot's update; then
  // checks that the robot is over the leg's floor, standing or in the air from a jump, or fell out.
  void play(const route::Leg& leg, bool check = true) {
    const double dt = GetParam();
    const int frames = dt > 0.05 ? leg.frames / route::kFramesPerTenth : leg.frames;
    for (int frame = 0; frame < frames; ++frame) {
      if (leg.jump) robot.jump();
      robot.move(static_cast<float>(dt), leg.forward, leg.backward, leg.left, leg.right);
      robot.update(dt);
      lowestY = std::min(lowestY, robot.worldCornerA.y);
    }
    if (!check) return;
    const glm::vec3 p(robot.modelMatrix[3]);
    SCOPED_TRACE(testing::Message() << "after: " << leg.what << " at " << p.x << ", " << p.y << ", " << p.z);
    if (leg.floorY < route::kFallOutY) {
      EXPECT_LT(robot.worldCornerA.y, route::kFallOutY);
    } else {
      EXPECT_GE(robot.worldCornerA.y, leg.floorY);
      EXPECT_LE(robot.worldCornerA.y, leg.floorY + 1.3f);
    }
  }

  scene::Camera camera;
  Model robotModel;
  scene::Character robot;
  float lowestY = 1e9f;
};

TEST_P(RouteThroughTheLevel, WalksAndJumpsFromTheStartToTheShootingPosition) {
  for (const route::Leg& leg : route::kStartToButtonRoom) play(leg);
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
  for (int i = 0; i < route::kLegsToHallDoorway; ++i) play(route::kStartToButtonRoom[i]);
  for (const route::Leg& leg : route::kHallToOpenEdge) play(leg);
}

TEST_P(RouteThroughTheLevel, CannotClimbIntoTheButtonsNiche) {
  for (const route::Leg& leg : route::kStartToButtonRoom) play(leg, false);
  // Jumping at the back wall right under the button, for three seconds.
  const route::Leg jumpAtTheWall{true, false, false, false, true, 6, 6.0f, "jump at the back wall"};
  float leastZ = 0.0f;
  for (int i = 0; i < 30; ++i) {
    play(jumpAtTheWall, false);
    leastZ = std::min(leastZ, robot.worldCornerB.z);
  }
  EXPECT_GT(leastZ, kButtonZ) << "the robot's box reached into the niche behind the button";
  EXPECT_GE(robot.worldCornerA.y, 6.0f);
}

INSTANTIATE_TEST_SUITE_P(FrameTimes, RouteThroughTheLevel, ::testing::Values(1.0 / 60.0, 0.1),
                         [](const ::testing::TestParamInfo<double>& info) {
                           return info.param > 0.05 ? std::string("AtTheCap") : std::string("At60Hz");
                         });

}  // namespace
}  // namespace varn::test
