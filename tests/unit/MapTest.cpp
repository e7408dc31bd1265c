// How the level's meshes become floor, wall and block boxes.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "GlTest.h"
#include "SceneLevels.h"
#include "scene/Map.h"

namespace varn::test {
namespace {

using scene::Map;

void expectVec3Eq(const glm::vec3& actual, const glm::vec3& expected) {
  EXPECT_FLOAT_EQ(actual.x, expected.x);
  EXPECT_FLOAT_EQ(actual.y, expected.y);
  EXPECT_FLOAT_EQ(actual.z, expected.z);
}

// Four vertices of a 2 x 2 quad at height y; only the count and the first normal
// decide the class, the height tells the boxes apart.
std::vector<glm::vec3> quadCorners(float y) { return {{-1, y, 1}, {1, y, 1}, {1, y, -1}, {-1, y, -1}}; }

std::vector<float> heightsOf(const std::vector<scene::CollisionBox>& boxes) {
  std::vector<float> heights;
  for (const scene::CollisionBox& box : boxes) heights.push_back(box.cornerA.y);
  return heights;
}

class MapTest : public GlTest {};

TEST_F(MapTest, PlacedFloorQuadBecomesOneFloorBoxAtItsWorldHeight) {
  const Map map(levelModel({floorQuad(-2.0f, 3.0f, 0.0f, -4.0f, 5.0f)}),
                glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -1.0f, 0.0f)));

  ASSERT_EQ(map.floorBoxes.size(), 1u);
  EXPECT_TRUE(map.wallBoxes.empty());
  EXPECT_TRUE(map.blockBoxes.empty());
  expectVec3Eq(map.floorBoxes[0].cornerA, {-2.0f, -1.0f, 5.0f});
  expectVec3Eq(map.floorBoxes[0].cornerB, {3.0f, -1.0f, -4.0f});
}

TEST_F(MapTest, OnlyAFirstNormalExactlyAlongYMakesAFloor) {
  auto sixVertices = [](float y) {
    std::vector<glm::vec3> corners = quadCorners(y);
    corners.insert(corners.end(), {{-1, y, 1}, {1, y, -1}});
    return corners;
  };
  // Mixed normals: only the first vertex's counts.
  assets::Mesh firstUp = meshOf(quadCorners(4.0f), {0.0f, 0.0f, 1.0f});
  firstUp.vertices[0].normal = {0.0f, 1.0f, 0.0f};
  assets::Mesh firstTilted = meshOf(quadCorners(5.0f), {0.0f, 1.0f, 0.0f});
  firstTilted.vertices[0].normal = {0.0f, 0.999f, 0.045f};

  std::vector<assets::Mesh> meshes;
  meshes.push_back(meshOf(quadCorners(0.0f), {0.0f, 0.999f, 0.045f}));  // nearly flat: still a wall
  meshes.push_back(meshOf(sixVertices(1.0f), {0.0f, -1.0f, 0.0f}));     // a ceiling is a floor too
  meshes.push_back(meshOf(sixVertices(2.0f), {1.0f, 0.0f, 0.0f}));
  meshes.push_back(meshOf(quadCorners(3.0f), {0.0f, 0.0f, -1.0f}));
  meshes.push_back(std::move(firstUp));
  meshes.push_back(std::move(firstTilted));
  const Map map(levelModel(std::move(meshes)), glm::mat4(1.0f));

  EXPECT_EQ(heightsOf(map.floorBoxes), (std::vector<float>{1.0f, 4.0f}));
  EXPECT_EQ(heightsOf(map.wallBoxes), (std::vector<float>{0.0f, 2.0f, 3.0f, 5.0f}));
  EXPECT_TRUE(map.blockBoxes.empty());
}

TEST_F(MapTest, MoreThanSixVerticesMakeABlockWhateverTheShape) {
  std::vector<glm::vec3> sevenFlat = quadCorners(0.0f);
  sevenFlat.insert(sevenFlat.end(), {{0, 0, 0}, {0.5f, 0, 0}, {0, 0, 0.5f}});

  std::vector<assets::Mesh> meshes;
  meshes.push_back(meshOf(sevenFlat, {0.0f, 1.0f, 0.0f}));
  meshes.push_back(blockMesh({1.0f, 2.0f, 3.0f}, {4.0f, 6.0f, 8.0f}));
  const Map map(levelModel(std::move(meshes)), glm::mat4(1.0f));

  EXPECT_TRUE(map.floorBoxes.empty());
  EXPECT_TRUE(map.wallBoxes.empty());
  ASSERT_EQ(map.blockBoxes.size(), 2u);
  expectVec3Eq(map.blockBoxes[1].cornerA, {1.0f, 2.0f, 8.0f});
  expectVec3Eq(map.blockBoxes[1].cornerB, {4.0f, 6.0f, 3.0f});
}

TEST_F(MapTest, BoxesSpanAllVerticesInAnyOrderUnderThePlacement) {
  // The extremes sit on different vertices, none of them on the first one.
  std::vector<glm::vec3> scattered{{0, 0, 0}, {-3, 1, 2}, {5, -2, 1}, {1, 4, -6}, {2, 1, 7}, {-1, -1, -1}, {0, 0, 1}};
  const glm::mat4 placement =
      glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(10.0f, -1.0f, 0.0f)), glm::vec3(2.0f));
  const Map map(levelModel({meshOf(scattered, {0.0f, 1.0f, 0.0f})}), placement);

  ASSERT_EQ(map.blockBoxes.size(), 1u);
  expectVec3Eq(map.blockBoxes[0].cornerA, {10.0f - 6.0f, -1.0f - 4.0f, 14.0f});
  expectVec3Eq(map.blockBoxes[0].cornerB, {10.0f + 10.0f, -1.0f + 8.0f, -12.0f});
}

TEST_F(MapTest, MeshWithoutVerticesIsSkippedAndTheOthersKeepTheirOrder) {
  std::vector<assets::Mesh> meshes;
  meshes.push_back(floorQuad(0.0f, 1.0f, 0.0f, 0.0f, 1.0f));
  meshes.push_back(meshOf({}, {0.0f, 1.0f, 0.0f}));
  meshes.push_back(floorQuad(0.0f, 1.0f, 5.0f, 0.0f, 1.0f));
  const Map map(levelModel(std::move(meshes)), glm::mat4(1.0f));

  ASSERT_EQ(map.floorBoxes.size(), 2u);
  EXPECT_TRUE(map.wallBoxes.empty());
  EXPECT_TRUE(map.blockBoxes.empty());
  EXPECT_FLOAT_EQ(map.floorBoxes[0].cornerA.y, 0.0f);
  EXPECT_FLOAT_EQ(map.floorBoxes[1].cornerA.y, 5.0f);
}

}  // namespace
}  // namespace varn::test
