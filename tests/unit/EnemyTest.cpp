// Enemy robots: the inclusive chase range, the chase in three dimensions, steps in world
// axes and the saw's spin (hits: GameRulesTest).
#include <gtest/gtest.h>

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <limits>

#include "GlmExpect.h"
#include "SceneLevels.h"
#include "scene/Character.h"
#include "scene/Enemy.h"
#include "scene/Map.h"

namespace varn::test {
namespace {

using scene::Enemy;
using scene::Map;

constexpr double kFrameCap = 0.1;

// A 0.5 x 2 x 0.5 robot standing on the origin, its box centred on (0, 1, 0), with no level.
scene::Character robot() {
  return scene::Character(boxModel({-1.0f, 0.0f, -1.0f}, {1.0f, 8.0f, 1.0f}),
                          glm::scale(glm::mat4(1.0f), glm::vec3(0.25f)), Map(), nullptr);
}

// A unit-cube enemy whose box centre is exactly the placement's translation.
Enemy enemyAt(const glm::mat4& placement) {
  return Enemy(boxModel(glm::vec3(-0.5f), glm::vec3(0.5f)), assets::Model(), placement);
}
Enemy enemyAt(const glm::vec3& centre) { return enemyAt(glm::translate(glm::mat4(1.0f), centre)); }
using test::centreOf;
glm::vec3 centreOf(const Enemy& enemy) { return centreOf(enemy.worldCornerA, enemy.worldCornerB); }

TEST(EnemyTest, ChasesAtExactlyItsRangeNotOneFloatBeyondNorFromTheRobotsCentreAndClimbsAfterAJump) {
  scene::Character target = robot();
  const glm::vec3 robotCentre = centreOf(target.worldCornerA, target.worldCornerB);
  Enemy atRange = enemyAt(robotCentre + glm::vec3(15.0f, 0.0f, 0.0f));
  ASSERT_EQ(glm::length(robotCentre - centreOf(atRange)), 15.0f);
  atRange.chase(target, Map());
  EXPECT_EQ(atRange.direction, glm::vec3(-1.0f, 0.0f, 0.0f));

  const float beyond = std::nextafter(15.0f, std::numeric_limits<float>::infinity());
  Enemy outOfRange = enemyAt(robotCentre + glm::vec3(beyond, 0.0f, 0.0f));
  ASSERT_GT(glm::length(robotCentre - centreOf(outOfRange)), 15.0f);
  outOfRange.direction = glm::vec3(1.0f, 0.0f, 0.0f);  // left over from an earlier chase
  outOfRange.chase(target, Map());
  EXPECT_EQ(outOfRange.direction, glm::vec3(0.0f));

  // On the robot's centre there is no way to go, and no division by a zero distance.
  Enemy onTop = enemyAt(robotCentre);
  onTop.chase(target, Map());
  EXPECT_EQ(onTop.direction, glm::vec3(0.0f));
  onTop.update(kFrameCap);
  EXPECT_EQ(translationOf(onTop.modelMatrix), robotCentre);

  Enemy level = enemyAt(robotCentre + glm::vec3(1.5f, 0.0f, 0.0f));
  target.jump();
  for (int frame = 0; frame < 3; ++frame) target.update(kFrameCap);
  level.chase(target, Map());
  EXPECT_GT(level.direction.y, 0.0f);
  level.update(kFrameCap);
  EXPECT_GT(centreOf(level).y, robotCentre.y) << "climbed towards the jumping robot";
}

TEST(EnemyTest, TwoFramesAtTheCapStepATenthEachInWorldAxesAndTurnTheSaw72Degrees) {
  const scene::Character target = robot();
  // A turned placement: the step must still follow the world axes, and the body keeps its orientation.
  const glm::mat4 placement =
      glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(3.0f, 1.0f, 4.0f)), 0.7f, glm::vec3(0.0f, 1.0f, 0.0f));
  Enemy enemy = enemyAt(placement);
  enemy.chase(target, Map());
  expectNear(enemy.direction, {-0.6f, 0.0f, -0.8f}, 1e-6f);
  enemy.update(kFrameCap);
  enemy.update(kFrameCap);
  expectNear(translationOf(enemy.modelMatrix) - glm::vec3(3.0f, 1.0f, 4.0f), {-0.12f, 0.0f, -0.16f}, 1e-6f);
  EXPECT_EQ(glm::mat3(enemy.modelMatrix), glm::mat3(placement));
  const float spun = glm::radians(72.0f);  // the spin adds up
  expectNear(glm::vec3(enemy.saw.spinMatrix * glm::vec4(0.0f, 1.0f, 0.0f, 0.0f)),
             {0.0f, std::cos(spun), std::sin(spun)}, 1e-6f);
  expectNear(enemy.saw.modelMatrix, enemy.modelMatrix * enemy.saw.spinMatrix, 1e-6f);
}

}  // namespace
}  // namespace varn::test
