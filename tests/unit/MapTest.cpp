// How the level's meshes become floor, wall and block boxes, and bullets against the game's level map.
#include <gtest/gtest.h>

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

#include "GlTest.h"
#include "LevelRoute.h"
#include "SceneLevels.h"
#include "app/Globals.h"
#include "assets/Model.h"
#include "scene/Bullet.h"
#include "scene/Button.h"
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
    destructionButton = scene::Button();
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

// Flies a shot frame by frame, as the game does, until `stops` says it touches something or
// its time is up.
template <typename Stop>
scene::Bullet fly(scene::Bullet shot, Stop stops) {
  while (shot.lifetime > 0.0f && !stops(shot)) shot.update(1.0 / 60.0);
  return shot;
}

// The game's own level and button: the pieces round the button (its frame, its lamp, the lips
// of its niche) stop bullets like any level mesh, yet none of them covers its face. From the
// firing place, and from anywhere within 0.4 of it, every shot whose bullet lies wholly on the
// face when it reaches the face's plane wins: nothing of the level stops it on the way.
TEST_F(MapTest, ShotsFromTheFiringStepThatMeetTheButtonsFaceWhollyAreNotStoppedByTheLevel) {
  const assets::Model bullet("Models/bullet/bullet.obj", nullptr);
  levelMap = Map(assets::Model("Models/map/map_bricks.obj", nullptr), glm::translate(glm::mat4(1.0f), {0, -1, 0}));
  destructionButton = scene::Button(assets::Model("Models/map/destructionbutton.obj", nullptr), glm::mat4(1.0f));
  const glm::vec3 a = destructionButton.worldCornerA, b = destructionButton.worldCornerB;
  int onTheFace = 0;
  for (const float dx : {-0.4f, 0.0f, 0.4f})
    for (const float dz : {-0.4f, 0.0f, 0.4f})
      for (float s = 0.0f; s <= 1.0f; s += 0.125f)
        for (float t = 0.0f; t <= 1.0f; t += 0.125f) {
          const glm::vec3 shoulder = route::kShootingPosition + glm::vec3(dx, 1.5f, dz);
          const glm::vec3 aim(a.x + s * (b.x - a.x), a.y + t * (b.y - a.y), a.z);
          const glm::vec3 direction = glm::normalize(aim - shoulder);
          const scene::Bullet shot(bullet, glm::translate(glm::mat4(1.0f), shoulder + direction), direction);
          const scene::Bullet atFace = fly(shot, [](const scene::Bullet& c) { return c.hitsButton(); });
          const glm::vec3 low = atFace.worldCornerA, high = atFace.worldCornerB;
          if (!atFace.hitsButton() || low.x < a.x || high.x > b.x || low.y < a.y || high.y > b.y) continue;
          ++onTheFace;
          const scene::Bullet fired = fly(shot, [](const scene::Bullet& c) { return c.hitsMap() || c.hitsButton(); });
          EXPECT_TRUE(!fired.hitsMap() && fired.hitsButton())
              << "from " << shoulder.x << ", " << shoulder.y << ", " << shoulder.z << " at " << aim.x << ", " << aim.y
              << " the level stops the shot at " << fired.worldCornerA.x << ", " << fired.worldCornerA.y << ", "
              << fired.worldCornerA.z;
        }
  EXPECT_GT(onTheFace, 0) << "no shot meets the face wholly";
}

}  // namespace
}  // namespace varn::test
