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
#include <sstream>
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

namespace fs = std::filesystem;
using varn::assets::Mesh;
using varn::assets::Model;
using varn::scene::CollisionBox;
using varn::scene::Map;
namespace route = varn::test::route;

namespace {

const fs::path kSourceDir = MORROWGEAR_SOURCE_DIR;

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
const glm::vec3 kEnemyPlaces[] = {{-4, 0, -5}, {4, 0, 3}};
constexpr float kRobotScale = 0.25f;
// The button's fixed box: x 42.4..43.8, y 7.1..8.9 in the plane z = -36.5.
constexpr float kButtonX0 = 42.4f, kButtonX1 = 43.8f, kButtonY0 = 7.1f, kButtonY1 = 8.9f, kButtonZ = -36.5f;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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

struct Extent {
  glm::vec3 least{0.0f};
  glm::vec3 greatest{0.0f};
  glm::vec3 size() const { return greatest - least; }
};

Extent extentOf(const Mesh& mesh) {
  Extent e{mesh.vertices.front().position, mesh.vertices.front().position};
  for (const auto& v : mesh.vertices) {
    e.least = glm::min(e.least, v.position);
    e.greatest = glm::max(e.greatest, v.position);
  }
  return e;
}

Extent extentOf(const Model& model) {
  Extent e = extentOf(model.meshes.front());
  for (const Mesh& mesh : model.meshes) {
    const Extent m = extentOf(mesh);
    e.least = glm::min(e.least, m.least);
    e.greatest = glm::max(e.greatest, m.greatest);
  }
  return e;
}

std::size_t triangles(const Model& model) {
  std::size_t count = 0;
  for (const Mesh& mesh : model.meshes) count += mesh.indices.size() / 3;
  return count;
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

}  // namespace

// ---- The generator --------------------------------------------------------------------

TEST(AssetGenerator, ReproducesTheCommittedFilesByteForByte) {
#ifndef MORROWGEAR_ASSETGEN
  GTEST_SKIP() << "the assetgen target is not part of this build";
#else
  varn::test::TempDir out;
  const std::string command = std::string("'") + MORROWGEAR_ASSETGEN + "' '" + out.path().string() + "' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  const std::vector<std::string> generated = assetFiles(out.path());
  const std::vector<std::string> committed = assetFiles(kSourceDir);
  ASSERT_FALSE(generated.empty());
  EXPECT_EQ(generated, committed) << "the committed assets and the generator's list of files differ";
  for (const std::string& file : generated) {
    EXPECT_TRUE(readFile(out.path() / file) == readFile(kSourceDir / file))
        << file << " differs from what assetgen writes; run assetgen on the repository root and commit";
  }
#endif
}

// ---- The loaded models ------------------------------------------------------------------

class Assets : public varn::test::GlTest {
 protected:
  void TearDown() override {
    varn::test::resetGlobals();
    GlTest::TearDown();
  }
};

TEST_F(Assets, EveryMeshHasNormalsTextureCoordinatesAndATextureWithinItsBudget) {
  struct Budget {
    const char* path;
    std::size_t triangles;
  };
  // The robots are drawn three times and the level twice a frame, at about a microsecond a
  // triangle and pass on a software renderer.
  const Budget budgets[] = {{kLevel, 1500},   {kButton, 100}, {kEnemyBody, 800},
                            {kEnemySaw, 800}, {kRobot, 800},  {kBullet, 60}};
  std::size_t enemyTriangles = 0;
  for (const Budget& budget : budgets) {
    SCOPED_TRACE(budget.path);
    const Model model(budget.path, nullptr);
    ASSERT_FALSE(model.meshes.empty());
    EXPECT_LE(triangles(model), budget.triangles);
    for (const Mesh& mesh : model.meshes) {
      ASSERT_FALSE(mesh.vertices.empty());
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
    const std::string path = budget.path;
    if (path == kEnemyBody || path == kEnemySaw) enemyTriangles += triangles(model);
  }
  EXPECT_LE(enemyTriangles, 800u) << "an enemy with its saw";
}

TEST_F(Assets, LevelPiecesAreTheFloorsWallsAndBlocksTheyLookLike) {
  const Model model(kLevel, nullptr);
  ASSERT_FALSE(model.meshes.empty());
  const Map map(model, kLevelPlacement);

  std::vector<CollisionBox> floors, walls, blocks;
  for (std::size_t i = 0; i < model.meshes.size(); ++i) {
    const Mesh& mesh = model.meshes[i];
    SCOPED_TRACE("mesh " + std::to_string(i));
    const Extent e = extentOf(mesh);
    const CollisionBox box{varn::scene::transformPoint(kLevelPlacement, {e.least.x, e.least.y, e.greatest.z}),
                           varn::scene::transformPoint(kLevelPlacement, {e.greatest.x, e.greatest.y, e.least.z})};
    const glm::vec3 size = e.size();
    const glm::vec3 n = mesh.vertices.front().normal;
    if (mesh.vertices.size() > 6) {
      // A solid: it stands out in every direction.
      EXPECT_GT(size.x, 0.0f);
      EXPECT_GT(size.y, 0.0f);
      EXPECT_GT(size.z, 0.0f);
      blocks.push_back(box);
    } else if (size.y == 0.0f) {
      // A horizontal quad: its first normal must lie exactly on the y axis.
      EXPECT_GT(size.x, 0.0f);
      EXPECT_GT(size.z, 0.0f);
      EXPECT_EQ(n.x, 0.0f);
      EXPECT_EQ(n.z, 0.0f);
      floors.push_back(box);
    } else {
      // An upright quad, flat in x or in z, with its normal exactly across that plane.
      EXPECT_TRUE((size.x == 0.0f && n.y == 0.0f && n.z == 0.0f) || (size.z == 0.0f && n.x == 0.0f && n.y == 0.0f))
          << "size " << size.x << " " << size.y << " " << size.z << ", normal " << n.x << " " << n.y << " " << n.z;
      walls.push_back(box);
    }
  }
  const auto same = [](const std::vector<CollisionBox>& a, const std::vector<CollisionBox>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const auto& p, const auto& q) {
             return p.cornerA == q.cornerA && p.cornerB == q.cornerB;
           });
  };
  EXPECT_TRUE(same(map.floorBoxes, floors)) << map.floorBoxes.size() << " floors, expected " << floors.size();
  EXPECT_TRUE(same(map.wallBoxes, walls)) << map.wallBoxes.size() << " walls, expected " << walls.size();
  EXPECT_TRUE(same(map.blockBoxes, blocks)) << map.blockBoxes.size() << " blocks, expected " << blocks.size();
  EXPECT_GE(floors.size(), 8u);
  EXPECT_GE(walls.size(), 40u);
  EXPECT_GE(blocks.size(), 14u) << "at least the fourteen steps";
}

TEST_F(Assets, FloorsLieAboutSevenBelowEachLightAndEnemiesStartOnOpenFloor) {
  const Model level(kLevel, nullptr);
  const Map map(level, kLevelPlacement);
  // Each light's shadow camera sees from 2 to 10 units straight down.
  for (const glm::vec3& light : kLights) {
    SCOPED_TRACE("light at " + std::to_string(light.x) + ", " + std::to_string(light.z));
    const float drop = light.y - surfaceUnder(map, light.x, light.z, light.y);
    EXPECT_GE(drop, 6.5f);
    EXPECT_LE(drop, 7.5f);
  }

  // The robot drops from the origin onto the start floor; the enemies stand on it.
  EXPECT_EQ(surfaceUnder(map, 0.0f, 0.0f, 0.0f), -1.0f);
  const Model enemy(kEnemyBody, nullptr);
  for (const glm::vec3& place : kEnemyPlaces) {
    SCOPED_TRACE("enemy at " + std::to_string(place.x) + ", " + std::to_string(place.z));
    const glm::vec3 a = place + enemy.cornerA;
    const glm::vec3 b = place + enemy.cornerB;
    EXPECT_FLOAT_EQ(a.y, -1.0f) << "the enemy's treads stand on the start floor";
    EXPECT_EQ(surfaceUnder(map, place.x, place.z, 0.0f), -1.0f);
    // Open floor: lifted clear of the floor itself, the enemy's box touches no wall or prop.
    const glm::vec3 lifted = a + glm::vec3(0.0f, 0.01f, 0.0f);
    for (const auto* list : {&map.wallBoxes, &map.blockBoxes})
      for (const CollisionBox& box : *list)
        EXPECT_FALSE(varn::scene::boxesOverlap(box.cornerA, box.cornerB, lifted, b));
  }
}

TEST_F(Assets, ButtonSitsInTheButtonRoomsBackWallAndAStraightShotReachesIt) {
  const Model level(kLevel, nullptr);
  const Map map(level, kLevelPlacement);

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
  const float floorY = surfaceUnder(map, route::kShootingPosition.x, route::kShootingPosition.z, 7.0f);
  EXPECT_FLOAT_EQ(floorY, route::kShootingPosition.y);
  bool backOfThatFloor = false;
  for (const CollisionBox& f : map.floorBoxes)
    backOfThatFloor = backOfThatFloor || (covers(f, route::kShootingPosition.x, route::kShootingPosition.z) &&
                                          f.cornerA.y == floorY && f.cornerB.z == kButtonZ);
  EXPECT_TRUE(backOfThatFloor);

  // The model: a face on the wall plane that covers the box and stands a little proud of it.
  const Model buttonModel(kButton, nullptr);
  const Extent button = extentOf(buttonModel);
  EXPECT_LE(button.least.x, kButtonX0 + 0.05f);
  EXPECT_GE(button.greatest.x, kButtonX1 - 0.05f);
  EXPECT_LE(button.least.y, kButtonY0 + 0.05f);
  EXPECT_GE(button.greatest.y, kButtonY1 - 0.05f);
  EXPECT_GT(button.greatest.z, kButtonZ);
  EXPECT_LT(button.greatest.z, kButtonZ + 0.2f);

  // A shot fired at -z from the shoulder, anywhere around the shooting position, meets the
  // button before anything of the level (the game asks the level first).
  varn::levelMap = map;
  varn::destructionButton = varn::scene::Button(buttonModel, glm::mat4(1.0f));
  const Model bulletModel(kBullet, nullptr);
  const float t = route::kShootingTolerance;
  for (const glm::vec2& offset :
       {glm::vec2(0, 0), glm::vec2(-t, -t), glm::vec2(t, -t), glm::vec2(-t, t), glm::vec2(t, t)}) {
    const glm::vec3 shoulder = route::kShootingPosition + glm::vec3(offset.x, 1.5f, offset.y);
    SCOPED_TRACE("shoulder at " + std::to_string(shoulder.x) + ", " + std::to_string(shoulder.z));
    const glm::vec3 direction(0, 0, -1);
    varn::scene::Bullet bullet(bulletModel, glm::translate(glm::mat4(1.0f), shoulder + direction), direction);
    bool hitButton = false, hitLevel = false;
    for (int frame = 0; frame < 240 && !hitButton && !hitLevel; ++frame) {
      bullet.update(1.0 / 60.0);
      hitLevel = bullet.hitsMap();
      hitButton = !hitLevel && bullet.hitsButton();
    }
    EXPECT_TRUE(hitButton);
    EXPECT_FALSE(hitLevel);
  }
}

TEST_F(Assets, RobotsSawAndBulletHaveTheirSizes) {
  // The player's robot, drawn at scale 0.25: feet at 0, about 8 tall, facing -z.
  const Model robot(kRobot, nullptr);
  const Extent r = extentOf(robot);
  EXPECT_EQ(r.least.y, 0.0f);
  EXPECT_EQ(robot.cornerA.y, 0.0f);
  EXPECT_GE(r.greatest.y, 7.5f);
  EXPECT_LE(r.greatest.y, 8.5f);
  EXPECT_LE(r.size().x * kRobotScale, 1.5f) << "the robot must fit the corridors";
  EXPECT_GT(-r.least.z, r.greatest.z) << "the cannon points forward, along -z";
  EXPECT_EQ(robot.cornerB.y, r.greatest.y);

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
    for (const auto& v : mesh.vertices) {
      const float radius = glm::length(glm::vec2(v.position.y, v.position.z));
      if (radius > 0.2f) bladeLeast = std::min(bladeLeast, v.position.x);
    }
  EXPECT_GT(bladeLeast, e.greatest.x) << "the blade turns beside the body, not through it";

  // The bullet: about 0.2 across, around its origin.
  const Model bullet(kBullet, nullptr);
  const Extent b = extentOf(bullet);
  for (int axis = 0; axis < 3; ++axis) {
    EXPECT_GE(b.size()[axis], 0.15f);
    EXPECT_LE(b.size()[axis], 0.25f);
    EXPECT_NEAR(b.least[axis] + b.greatest[axis], 0.0f, 1e-3f);
  }
}

// ---- The real robot physics on the real level -------------------------------------------

class RouteThroughTheLevel : public varn::test::GlTest, public ::testing::WithParamInterface<double> {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    robotModel = Model(kRobot, nullptr);
    level = Map(Model(kLevel, nullptr), kLevelPlacement);
    robot = varn::scene::Character(robotModel, glm::scale(glm::mat4(1.0f), glm::vec3(kRobotScale)), level, &camera);
    robot.updateBoundingBox();
  }

  double frameTime() const { return GetParam(); }
  int framesOf(const route::Leg& leg) const {
    return frameTime() > 0.05 ? leg.frames / route::kFramesPerTenth : leg.frames;
  }

  // Plays one leg as the controls do: jump (if Space), move, then the robot's update.
  void play(const route::Leg& leg) {
    for (int frame = 0; frame < framesOf(leg); ++frame) {
      if (leg.jump) robot.jump();
      robot.move(static_cast<float>(frameTime()), leg.forward, leg.backward, leg.left, leg.right);
      robot.update(frameTime());
      lowestY = std::min(lowestY, robot.worldCornerA.y);
    }
  }

  void playAndCheck(const route::Leg& leg) {
    play(leg);
    const glm::vec3 p = position();
    SCOPED_TRACE(std::string("after: ") + leg.what + " at " + std::to_string(p.x) + ", " + std::to_string(p.y) + ", " +
                 std::to_string(p.z));
    if (leg.floorY < route::kFallOutY) {
      EXPECT_LT(robot.worldCornerA.y, route::kFallOutY);
    } else {
      // Over that floor: standing on it, or in the air above it from a jump.
      EXPECT_GE(robot.worldCornerA.y, leg.floorY);
      EXPECT_LE(robot.worldCornerA.y, leg.floorY + 1.3f);
    }
  }

  glm::vec3 position() const { return glm::vec3(robot.modelMatrix[3]); }

  varn::scene::Camera camera;
  Model robotModel;
  Map level;
  varn::scene::Character robot;
  float lowestY = 1e9f;
};

TEST_P(RouteThroughTheLevel, WalksAndJumpsFromTheStartToTheShootingPosition) {
  for (const route::Leg& leg : route::kStartToButtonRoom) playAndCheck(leg);
  const glm::vec3 p = position();
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
  for (int i = 0; i < route::kLegsToHallDoorway; ++i) playAndCheck(route::kStartToButtonRoom[i]);
  for (const route::Leg& leg : route::kHallToOpenEdge) playAndCheck(leg);
}

TEST_P(RouteThroughTheLevel, CannotClimbIntoTheButtonsNiche) {
  for (const route::Leg& leg : route::kStartToButtonRoom) play(leg);
  // Jumping at the back wall right under the button, for three seconds.
  const route::Leg jumpAtTheWall{true, false, false, false, true, 6, 6.0f, "jump at the back wall"};
  float leastZ = 0.0f;
  for (int i = 0; i < 30; ++i) {
    play(jumpAtTheWall);
    leastZ = std::min(leastZ, robot.worldCornerB.z);
  }
  EXPECT_GT(leastZ, kButtonZ) << "the robot's box reached into the niche behind the button";
  EXPECT_GE(robot.worldCornerA.y, 6.0f);
}

INSTANTIATE_TEST_SUITE_P(FrameTimes, RouteThroughTheLevel, ::testing::Values(1.0 / 60.0, 0.1),
                         [](const ::testing::TestParamInfo<double>& info) {
                           return info.param > 0.05 ? std::string("AtTheCap") : std::string("At60Hz");
                         });
