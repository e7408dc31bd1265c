// Bullets against the game's global level map and destruction button; their flight and
// lifetime are tested through the game rules.
#include <gtest/gtest.h>

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <limits>

#include "GlTest.h"
#include "SceneLevels.h"
#include "app/Globals.h"
#include "scene/Bullet.h"
#include "scene/Button.h"
#include "scene/Map.h"

namespace varn::test {
namespace {

using scene::Bullet;

constexpr float kInf = std::numeric_limits<float>::infinity();

// A bullet box of 0.25 on every side, centred on the given point.
Bullet bulletAt(const glm::vec3& centre) {
  return Bullet(boxModel(glm::vec3(-0.125f), glm::vec3(0.125f)), glm::translate(glm::mat4(1.0f), centre),
                glm::vec3(0.0f, 0.0f, -1.0f));
}

class BulletTest : public GlTest {
 protected:
  void TearDown() override {
    // The tests borrow the game's globals; hand them back as the game starts them.
    levelMap = scene::Map();
    destructionButton = scene::Button();
    GlTest::TearDown();
  }
};

TEST_F(BulletTest, HitsWallsFloorsAndBlocksOfTheLevelIncludingTouchingFaces) {
  std::vector<assets::Mesh> level;
  level.push_back(wallQuadX(2.0f, -1.0f, 1.0f, -1.0f, 1.0f));
  level.push_back(floorQuad(-10.0f, 10.0f, -3.0f, -10.0f, 10.0f));
  level.push_back(blockMesh({5.0f, -1.0f, -1.0f}, {6.0f, 1.0f, 1.0f}));
  levelMap = scene::Map(levelModel(std::move(level)), glm::mat4(1.0f));

  EXPECT_FALSE(bulletAt({0.0f, 0.0f, 0.0f}).hitsMap()) << "open space";
  EXPECT_TRUE(bulletAt({1.875f, 0.0f, 0.0f}).hitsMap()) << "front face on the wall";
  EXPECT_FALSE(bulletAt({std::nextafter(1.875f, -kInf), 0.0f, 0.0f}).hitsMap()) << "just short of the wall";
  EXPECT_TRUE(bulletAt({0.0f, -2.875f, 0.0f}).hitsMap()) << "resting on the floor";
  EXPECT_TRUE(bulletAt({5.5f, 0.0f, 0.0f}).hitsMap()) << "inside the block";
  EXPECT_FALSE(bulletAt({5.5f, 1.25f, 0.0f}).hitsMap()) << "just over the block";
}

TEST_F(BulletTest, HitsTheButtonsZeroThicknessBoxOnlyWhereItSpans) {
  destructionButton = scene::Button(assets::Model(), glm::mat4(1.0f));
  const float button = -36.5f;
  struct Shot {
    const char* name;
    glm::vec3 least, greatest;
    bool hits;
  };
  for (const Shot& shot : {
           Shot{"through the face", {43.0f, 8.0f, -36.6f}, {43.2f, 8.2f, -36.4f}, true},
           Shot{"back face on the plane", {43.0f, 8.0f, button}, {43.2f, 8.2f, -36.3f}, true},
           Shot{"front face on the plane", {43.0f, 8.0f, -36.7f}, {43.2f, 8.2f, button}, true},
           Shot{"just in front", {43.0f, 8.0f, std::nextafter(button, 0.0f)}, {43.2f, 8.2f, -36.3f}, false},
           Shot{"just behind", {43.0f, 8.0f, -36.7f}, {43.2f, 8.2f, std::nextafter(button, -kInf)}, false},
           Shot{"beside it", {43.9f, 8.0f, -36.6f}, {44.1f, 8.2f, -36.4f}, false},
           Shot{"below it", {43.0f, 6.8f, -36.6f}, {43.2f, 7.0f, -36.4f}, false},
       }) {
    Bullet bullet = bulletAt(glm::vec3(0.0f));
    bullet.worldCornerA = {shot.least.x, shot.least.y, shot.greatest.z};
    bullet.worldCornerB = {shot.greatest.x, shot.greatest.y, shot.least.z};
    EXPECT_EQ(bullet.hitsButton(), shot.hits) << shot.name;
  }
}

}  // namespace
}  // namespace varn::test
