// How the level's meshes become floor, wall and block boxes, and bullets against the game's level map.
#include <gtest/gtest.h>

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

#include "GlTest.h"
#include "SceneLevels.h"
#include "app/Globals.h"
#include "scene/Bullet.h"
#include "scene/Map.h"

namespace varn::test {
namespace {

using scene::Map;

// Four vertices of a 2 x 2 quad at height y: the height tells the boxes apart.
std::vector<glm::vec3> quadCorners(float y) { return {{-1, y, 1}, {1, y, 1}, {1, y, -1}, {-1, y, -1}}; }

std::vector<float> heightsOf(const std::vector<scene::CollisionBox>& boxes) {
  std::vector<float> heights;
  for (const scene::CollisionBox& box : boxes) heights.push_back(box.cornerA.y);
  return heights;
}

class MapTest : public GlTest {
 protected:
  void TearDown() override {
    levelMap = Map();  // borrowed from the game: hand it back as the game starts it
    GlTest::TearDown();
  }
};

TEST_F(MapTest, SixVerticesAndAFirstNormalExactlyAlongYMakeAFloorMoreVerticesABlock) {
  std::vector<glm::vec3> six = quadCorners(1.0f), seven = quadCorners(6.0f);
  six.insert(six.end(), {{-1, 1, 1}, {1, 1, -1}});
  seven.insert(seven.end(), {{0, 6, 0}, {0.5f, 6, 0}, {0, 6, 0.5f}});
  assets::Mesh firstUp = meshOf(quadCorners(4.0f), {0.0f, 0.0f, 1.0f});  // only the first vertex's normal counts
  firstUp.vertices[0].normal = {0.0f, 1.0f, 0.0f};

  std::vector<assets::Mesh> meshes;
  meshes.push_back(meshOf(quadCorners(0.0f), {0.0f, 0.999f, 0.045f}));  // nearly flat: still a wall
  meshes.push_back(meshOf(six, {0.0f, -1.0f, 0.0f}));                   // a ceiling is a floor too
  meshes.push_back(meshOf({}, {0.0f, 1.0f, 0.0f}));                     // no vertices: skipped
  meshes.push_back(meshOf(quadCorners(2.0f), {1.0f, 0.0f, 0.0f}));
  meshes.push_back(meshOf(quadCorners(3.0f), {0.0f, 0.0f, -1.0f}));
  meshes.push_back(std::move(firstUp));
  meshes.push_back(meshOf(seven, {0.0f, 1.0f, 0.0f}));  // flat, yet a block
  const Map map(levelModel(std::move(meshes)), glm::mat4(1.0f));

  EXPECT_EQ(heightsOf(map.floorBoxes), (std::vector<float>{1.0f, 4.0f}));
  EXPECT_EQ(heightsOf(map.wallBoxes), (std::vector<float>{0.0f, 2.0f, 3.0f}));
  EXPECT_EQ(heightsOf(map.blockBoxes), (std::vector<float>{6.0f}));
}

TEST_F(MapTest, BulletsHitWallsFloorsAndBlocksOfTheLevelIncludingTouchingFaces) {
  std::vector<assets::Mesh> level;
  level.push_back(wallQuadX(2.0f, -1.0f, 1.0f, -1.0f, 1.0f));
  level.push_back(floorQuad(-10.0f, 10.0f, -3.0f, -10.0f, 10.0f));
  level.push_back(blockMesh({5.0f, -1.0f, -1.0f}, {6.0f, 1.0f, 1.0f}));
  levelMap = Map(levelModel(std::move(level)), glm::mat4(1.0f));
  // A bullet box of 0.25 on every side, centred on the given point.
  const auto hits = [](const glm::vec3& centre) {
    return scene::Bullet(boxModel(glm::vec3(-0.125f), glm::vec3(0.125f)), glm::translate(glm::mat4(1.0f), centre),
                         glm::vec3(0.0f, 0.0f, -1.0f))
        .hitsMap();
  };
  EXPECT_FALSE(hits({0.0f, 0.0f, 0.0f})) << "open space";
  EXPECT_TRUE(hits({1.875f, 0.0f, 0.0f})) << "front face on the wall";
  EXPECT_FALSE(hits({std::nextafter(1.875f, 0.0f), 0.0f, 0.0f})) << "just short of the wall";
  EXPECT_TRUE(hits({0.0f, -2.875f, 0.0f})) << "resting on the floor";
  EXPECT_TRUE(hits({5.5f, 0.0f, 0.0f})) << "inside the block";
  EXPECT_FALSE(hits({5.5f, 1.25f, 0.0f})) << "just over the block";
}

}  // namespace
}  // namespace varn::test
