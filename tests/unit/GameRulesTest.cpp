// The game's rules on hand-built scenes: enemies reaching the robot, the bullet walk with its
// removal order, the win, the world update, the fall, the end countdown and the final lines.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <string>

#include "GlmExpect.h"
#include "SceneLevels.h"
#include "app/GameRules.h"
#include "app/HitKind.h"
#include "app/Globals.h"
#include "app/WorldUpdate.h"

namespace varn::test {
namespace {

using namespace app;

const char* const kReachLine = "An enemy reached your position!\n";
const char* const kVictoryLines =
    "BOOOOOOOOM!\nYou have destroyed the factory and stopped the evil robot invasion!\nThanks a lot! You are a hero!\n";
const char* const kLossLines = "You lost!\nPlease try again!\n";
const glm::vec3 kAtEnemy(0.0f, 1.5f, -8.0f), kAtWall(5.0f, 1.5f, 0.0f), kOnButton(43.0f, 8.0f, -36.5f);

glm::mat4 at(const glm::vec3& position) { return glm::translate(glm::mat4(1.0f), position); }

// A robot one unit wide and two high standing on position.
void placeRobot(const glm::vec3& position) {
  character = scene::Character(boxModel({-0.5f, 0.0f, -0.5f}, {0.5f, 2.0f, 0.5f}), at(position), levelMap, nullptr);
}

// An enemy one unit on every side, centred on position.
void placeEnemy(scene::Enemy& enemy, const glm::vec3& position) {
  enemy = scene::Enemy(boxModel(glm::vec3(-0.5f), glm::vec3(0.5f)), assets::Model(), at(position));
}

// A bullet a quarter unit on every side, centred on position, appended to the game's list.
scene::Bullet* fireAt(const glm::vec3& position) {
  bullets.push_back(std::make_unique<scene::Bullet>(boxModel(glm::vec3(-0.125f), glm::vec3(0.125f)), at(position),
                                                    glm::vec3(0.0f, 0.0f, -1.0f)));
  return bullets.back().get();
}

using test::centreOf;
glm::vec3 centreOf(const scene::Bullet& bullet) { return centreOf(bullet.worldCornerA, bullet.worldCornerB); }

std::string printedOutcome() {
  testing::internal::CaptureStdout();
  printOutcome();
  return testing::internal::GetCapturedStdout();
}

class GameRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    // Robot at the origin, both enemies far away but in the game: nothing touches by default.
    placeRobot(glm::vec3(0.0f));
    placeEnemy(enemy1, {-40.0f, 0.0f, 0.0f});
    placeEnemy(enemy2, {40.0f, 0.0f, 0.0f});
    destructionButton = scene::Button(assets::Model(), glm::mat4(1.0f));
  }
  void TearDown() override { resetGlobals(); }

  // A floor under the robot, so that nothing but the rules under test ends the game.
  static void standOnAFloor() {
    levelMap.floorBoxes.push_back({{-50.0f, -0.5f, 50.0f}, {50.0f, -0.5f, -50.0f}});
    placeRobot(glm::vec3(0.0f));
  }

  // Frames of the world and outcome steps; returns the frames played until the end was requested.
  static int playUntilQuit(float dt, int limit = 2000) {
    deltaTime = dt;
    for (int frame = 0; frame < limit; ++frame) {
      updateWorld(dt);
      outcomeBookkeeping();
      if (quitRequested) return frame + 1;
    }
    return limit;
  }
  static void expectSeconds(int frames, float dt, float seconds) {
    EXPECT_GE(frames * dt, seconds - 1e-4f);
    EXPECT_LE(frames * dt, seconds + dt + 1e-4f);
  }
};

TEST_F(GameRulesTest, EnemiesAreAimedAtTheRobotATouchLosesTheGameAndOnceOneHasArrivedNoneMoves) {
  struct Case {
    const char* what;
    glm::vec3 enemy1At, enemy2At;
    bool arrivedBefore, enemy1Destroyed;
    std::string printed;
    float enemy1DirectionX, enemy2DirectionX;  // towards the robot's centre (0, 1, 0)
    bool enemy1Moves, enemy2Moves;             // in the world update that follows
  };
  const glm::vec3 far2(40.0f, 1.0f, 0.0f), touching1(-0.9f, 1.0f, 0.0f), touching2(0.9f, 1.0f, 0.0f),
      inRange(-6.0f, 1.0f, 0.0f);
  const std::string twoLines = std::string(kReachLine) + kReachLine;
  const Case cases[] = {
      {"in range, not touching", inRange, far2, false, false, "", 1.0f, 0.0f, true, true},
      {"enemy 2 touches", inRange, touching2, false, false, kReachLine, 1.0f, -1.0f, false, false},
      {"both touch in one frame", touching1, touching2, false, false, twoLines, 1.0f, -1.0f, false, false},
      {"one has arrived before", inRange, touching2, true, false, "", 0.0f, 0.0f, false, false},
      {"a destroyed enemy", touching1, far2, false, true, "", 0.0f, 0.0f, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    placeEnemy(enemy1, c.enemy1At);
    placeEnemy(enemy2, c.enemy2At);
    enemy1.direction = enemy2.direction = {0.0f, 1.0f, 0.0f};  // left over from an earlier chase
    enemyReachedPlayer = c.arrivedBefore;
    enemy1Destroyed = c.enemy1Destroyed;
    testing::internal::CaptureStdout();
    enemiesCloseIn();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
    EXPECT_EQ(gameLost, !c.printed.empty());
    EXPECT_NEAR(enemy1.direction.x, c.enemy1DirectionX, 1e-6f);
    EXPECT_NEAR(enemy2.direction.x, c.enemy2DirectionX, 1e-6f);
    const glm::vec3 before1 = translationOf(enemy1.modelMatrix), before2 = translationOf(enemy2.modelMatrix);
    updateWorld(0.1);
    expectNear(translationOf(enemy1.modelMatrix) - before1, c.enemy1Moves ? 0.1f * enemy1.direction : glm::vec3(0.0f),
               1e-5f);
    expectNear(translationOf(enemy2.modelMatrix) - before2, c.enemy2Moves ? 0.1f * enemy2.direction : glm::vec3(0.0f),
               1e-5f);
  }
}

TEST_F(GameRulesTest, ABulletThatHitsNothingGoesAfterFourSecondsAboutFortyUnitsAwayWithoutAnEffect) {
  const float dt = 1.0f / 60.0f;
  const glm::vec3 start = centreOf(*fireAt(glm::vec3(0.0f, 1.5f, 0.0f)));
  deltaTime = dt;
  int flights = 0;
  glm::vec3 lastExamined = start;
  for (; !bullets.empty() && flights < 1000; ++flights) {
    lastExamined = centreOf(*bullets.front());
    bulletHits();
    updateWorld(dt);
  }
  expectSeconds(flights - 1, dt, 4.0f);  // gone at the first check after its fourth second
  EXPECT_NEAR(glm::length(lastExamined - start), 40.0f, 10.0f * dt + 1e-3f);
  EXPECT_FALSE(explosionPending);
}

TEST_F(GameRulesTest, AHitTakesTheLaterBulletsThatHitNothingLeavesTheEarlierOnesAndTwoHitsDestroyAnEnemy) {
  levelMap.wallBoxes.push_back({{5.0f, 0.0f, 3.0f}, {5.0f, 3.0f, -3.0f}});  // upright, in the plane x = 5
  // A hits the wall: B and C go with it.
  const glm::vec3 aCentre = centreOf(*fireAt(kAtWall));
  fireAt({0.0f, 1.5f, -2.0f});
  fireAt({0.0f, 1.5f, -4.0f});
  bulletHits();
  EXPECT_TRUE(bullets.empty());
  EXPECT_TRUE(explosionPending);
  EXPECT_EQ(explosionKind, kHitLevel);
  EXPECT_EQ(explosionPosition, aCentre);

  // C hits the wall: A and B stay, in their order; owners emptied by cleanup are left alone.
  explosionPending = false;
  scene::Bullet* a = fireAt({0.0f, 1.5f, -2.0f});
  bullets.push_back(nullptr);
  scene::Bullet* b = fireAt({0.0f, 1.5f, -4.0f});
  const glm::vec3 cCentre = centreOf(*fireAt(kAtWall));
  bulletHits();
  ASSERT_EQ(bullets.size(), 3u);
  EXPECT_EQ(bullets[0].get(), a);
  EXPECT_EQ(bullets[2].get(), b);
  EXPECT_EQ(explosionPosition, cCentre);

  // Two hits in one frame: the second bullet moves up into the first one's index and is tested there.
  bullets.clear();
  explosionPending = false;
  placeEnemy(enemy1, kAtEnemy);
  fireAt(kAtWall);
  const glm::vec3 second = centreOf(*fireAt(kAtEnemy));
  bulletHits();
  EXPECT_TRUE(bullets.empty());
  EXPECT_EQ(enemy1.hitPoints, 1);
  EXPECT_FALSE(enemy1Destroyed);
  EXPECT_EQ(explosionKind, kHitEnemy);
  EXPECT_EQ(explosionPosition, second);

  // A second hit, touching the enemy's top, destroys it; later bullets pass through.
  fireAt(kAtEnemy + glm::vec3(0.0f, 0.625f, 0.0f));
  bulletHits();
  EXPECT_TRUE(bullets.empty());
  EXPECT_TRUE(enemy1Destroyed);
  explosionPending = false;
  fireAt(kAtEnemy);
  bulletHits();
  EXPECT_EQ(bullets.size(), 1u);
  EXPECT_FALSE(explosionPending);

  // A hit on the button wins.
  bullets.clear();
  const glm::vec3 onButton = centreOf(*fireAt(kOnButton));
  bulletHits();
  EXPECT_TRUE(bullets.empty());
  EXPECT_TRUE(gameWon);
  EXPECT_EQ(explosionKind, kHitButton);
  EXPECT_EQ(explosionPosition, onButton);
}

TEST_F(GameRulesTest, FallingBelowMinusTenLosesAboutOneSecondLater) {
  character.worldCornerA.y = -10.0f;
  outcomeBookkeeping();
  EXPECT_FALSE(gameLost) << "exactly at -10 the robot has not fallen yet";
  placeRobot(glm::vec3(0.0f));
  // From rest, frames of 1/60 s leave the feet at -n (n + 1) / 720 after n frames: below -10 from frame 85 on.
  const float dt = 1.0f / 60.0f;
  expectSeconds(playUntilQuit(dt) - 84, dt, 1.0f);
  EXPECT_EQ(printedOutcome(), kLossLines);
}

TEST_F(GameRulesTest, AWinEndsTheGameWhenItsCountdownRunsOutExactlyOnZeroWithTheVictoryLinesDespiteAReach) {
  standOnAFloor();
  EXPECT_EQ(playUntilQuit(0.1f, 100), 100) << "no outcome, no end";
  // 4 s is exactly 32 frames of 1/8 s: the countdown lands on 0, and must not start over.
  gameWon = true;
  EXPECT_EQ(playUntilQuit(0.125f, 100), 32);
  gameLost = true;  // an enemy arrived after the win
  EXPECT_EQ(printedOutcome(), kVictoryLines);
}

}  // namespace
}  // namespace varn::test
