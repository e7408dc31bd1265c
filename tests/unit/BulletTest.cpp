// Bullets: straight flight and lifetime, and the level and button tests against the
// game's global level map and destruction button.
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
Bullet bulletAt(const glm::vec3& centre, const glm::vec3& direction = {0.0f, 0.0f, -1.0f}) {
  return Bullet(boxModel(glm::vec3(-0.125f), glm::vec3(0.125f)), glm::translate(glm::mat4(1.0f), centre), direction);
}

glm::vec3 centreOf(const Bullet& bullet) { return (bullet.worldCornerA + bullet.worldCornerB) * 0.5f; }

class BulletTest : public GlTest {
 protected:
  void TearDown() override {
    // The tests borrow the game's globals; hand them back as the game starts them.
    varn::levelMap = scene::Map();
    varn::destructionButton = scene::Button();
    GlTest::TearDown();
  }
};

TEST_F(BulletTest, FliesTenUnitsPerSecondUntilItsFourSecondsAreUp) {
  for (double dt : {1.0 / 60.0, 0.1}) {
    SCOPED_TRACE(dt);
    const glm::vec3 direction = glm::normalize(glm::vec3(1.0f, 0.0f, -1.0f));
    Bullet bullet = bulletAt(glm::vec3(0.0f), direction);

    bullet.update(dt);
    EXPECT_NEAR(glm::length(centreOf(bullet)), 10.0 * dt, 1e-5);
    EXPECT_NEAR(glm::dot(glm::normalize(centreOf(bullet)), direction), 1.0f, 1e-6f);

    // The game removes a bullet at the first check that finds its time up.
    int frames = 1;
    while (bullet.lifetime > 0.0f && frames < 1000) {
      bullet.update(dt);
      ++frames;
    }
    EXPECT_NEAR(frames * dt, 4.0, dt + 1e-9);
    EXPECT_NEAR(glm::length(centreOf(bullet)), 40.0, 10.0 * dt + 1e-3);

    // Running out of time does not stop it by itself.
    const glm::vec3 spent = centreOf(bullet);
    bullet.update(dt);
    EXPECT_GT(glm::length(centreOf(bullet) - spent), 0.0f);
  }
}

TEST_F(BulletTest, HitsWallsFloorsAndBlocksOfTheLevelIncludingTouchingFaces) {
  std::vector<assets::Mesh> level;
  level.push_back(wallQuadX(2.0f, -1.0f, 1.0f, -1.0f, 1.0f));
  level.push_back(floorQuad(-10.0f, 10.0f, -3.0f, -10.0f, 10.0f));
  level.push_back(blockMesh({5.0f, -1.0f, -1.0f}, {6.0f, 1.0f, 1.0f}));
  varn::levelMap = scene::Map(levelModel(std::move(level)), glm::mat4(1.0f));

  EXPECT_FALSE(bulletAt({0.0f, 0.0f, 0.0f}).hitsMap()) << "open space";
  EXPECT_TRUE(bulletAt({1.875f, 0.0f, 0.0f}).hitsMap()) << "front face on the wall";
  EXPECT_FALSE(bulletAt({std::nextafter(1.875f, -kInf), 0.0f, 0.0f}).hitsMap()) << "just short of the wall";
  EXPECT_TRUE(bulletAt({0.0f, -2.875f, 0.0f}).hitsMap()) << "resting on the floor";
  EXPECT_TRUE(bulletAt({5.5f, 0.0f, 0.0f}).hitsMap()) << "inside the block";
  EXPECT_FALSE(bulletAt({5.5f, 1.25f, 0.0f}).hitsMap()) << "just over the block";
}

TEST_F(BulletTest, HitsTheButtonsZeroThicknessBoxOnlyWhereItSpans) {
  varn::destructionButton = scene::Button(assets::Model(), glm::mat4(1.0f));
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
    SCOPED_TRACE(shot.name);
    Bullet bullet = bulletAt(glm::vec3(0.0f));
    bullet.worldCornerA = {shot.least.x, shot.least.y, shot.greatest.z};
    bullet.worldCornerB = {shot.greatest.x, shot.greatest.y, shot.least.z};
    EXPECT_EQ(bullet.hitsButton(), shot.hits);
  }
}

}  // namespace
}  // namespace varn::test
