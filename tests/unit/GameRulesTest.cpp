// The game's rules on hand-built scenes: enemies reaching the robot, the bullet walk
// with its removal order, the world update, the fall, the end countdown and the final lines.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <string>

#include "GlobalsReset.h"
#include "SceneLevels.h"
#include "app/GameRules.h"
#include "app/Globals.h"
#include "app/WorldUpdate.h"

namespace varn::test {
namespace {

using app::bulletHits;
using app::enemiesCloseIn;
using app::outcomeBookkeeping;
using app::printOutcome;
using app::updateWorld;

const char* const kReachLine = "An enemy reached your position!\n";
const char* const kVictoryLines =
    "BOOOOOOOOM!\n"
    "You have destroyed the factory and stopped the evil robot invasion!\n"
    "Thanks a lot! You are a hero!\n";
const char* const kLossLines = "You lost!\nPlease try again!\n";

glm::mat4 at(const glm::vec3& position) { return glm::translate(glm::mat4(1.0f), position); }

// A robot one unit wide and two high standing on position, with no level to walk on.
void placeRobot(const glm::vec3& position) {
  character = scene::Character(boxModel({-0.5f, 0.0f, -0.5f}, {0.5f, 2.0f, 0.5f}), at(position), levelMap, nullptr);
}

// An enemy one unit on every side, centred on position.
void placeEnemy(scene::Enemy& enemy, const glm::vec3& position) {
  enemy = scene::Enemy(boxModel(glm::vec3(-0.5f), glm::vec3(0.5f)), assets::Model(), at(position));
}

// A bullet a quarter unit on every side, centred on position, appended to the game's list.
scene::Bullet* fireAt(const glm::vec3& position, const glm::vec3& direction = {0.0f, 0.0f, -1.0f}) {
  bullets.push_back(
      std::make_unique<scene::Bullet>(boxModel(glm::vec3(-0.125f), glm::vec3(0.125f)), at(position), direction));
  return bullets.back().get();
}

glm::vec3 centreOf(const scene::Bullet& bullet) { return (bullet.worldCornerA + bullet.worldCornerB) * 0.5f; }

// An upright wall in the plane x = 5, from y = 0 to 3 and z = -3 to 3.
void buildWall() { levelMap.wallBoxes.push_back({{5.0f, 0.0f, 3.0f}, {5.0f, 3.0f, -3.0f}}); }

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
};

// ---- Enemies closing in

TEST_F(GameRulesTest, AnEnemyTouchingTheRobotLosesTheGame) {
  placeEnemy(enemy2, {0.9f, 1.0f, 0.0f});
  testing::internal::CaptureStdout();
  enemiesCloseIn();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kReachLine);
  EXPECT_TRUE(enemyReachedPlayer);
  EXPECT_TRUE(gameLost);
  EXPECT_FALSE(gameWon);
}

TEST_F(GameRulesTest, BothEnemiesAreHandledInTheFrameTheFirstOneArrives) {
  placeEnemy(enemy1, {-0.9f, 1.0f, 0.0f});
  placeEnemy(enemy2, {0.9f, 1.0f, 0.0f});
  testing::internal::CaptureStdout();
  enemiesCloseIn();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(kReachLine) + kReachLine);
  // Both were pointed at the robot's centre (0, 1, 0) before being tested.
  EXPECT_NEAR(enemy1.direction.x, 1.0f, 1e-6f);
  EXPECT_NEAR(enemy2.direction.x, -1.0f, 1e-6f);
}

TEST_F(GameRulesTest, EnemiesInRangeAreAimedAtTheRobotWithoutReachingIt) {
  placeEnemy(enemy1, {0.0f, 1.0f, -6.0f});
  testing::internal::CaptureStdout();
  enemiesCloseIn();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_NEAR(enemy1.direction.z, 1.0f, 1e-6f);
  EXPECT_FALSE(gameLost);
}

TEST_F(GameRulesTest, OnceAnEnemyHasArrivedNoEnemyIsChasedAgain) {
  placeEnemy(enemy1, {0.0f, 1.0f, -6.0f});
  placeEnemy(enemy2, {0.9f, 1.0f, 0.0f});
  enemyReachedPlayer = true;
  testing::internal::CaptureStdout();
  enemiesCloseIn();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(enemy1.direction, glm::vec3(0.0f));
  EXPECT_EQ(enemy2.direction, glm::vec3(0.0f));
}

TEST_F(GameRulesTest, ADestroyedEnemyNeitherChasesNorReaches) {
  placeEnemy(enemy1, {0.9f, 1.0f, 0.0f});
  enemy1Destroyed = true;
  testing::internal::CaptureStdout();
  enemiesCloseIn();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(enemy1.direction, glm::vec3(0.0f));
  EXPECT_FALSE(gameLost);
}

// ---- The bullet walk

TEST_F(GameRulesTest, ABulletThatHitsNothingGoesAfterFourSecondsOfFlight) {
  for (float dt : {0.1f, 1.0f / 60.0f}) {
    SCOPED_TRACE(dt);
    bullets.clear();
    fireAt(glm::vec3(0.0f, 1.5f, 0.0f));
    const glm::vec3 start = centreOf(*bullets.front());
    deltaTime = dt;
    int flights = 0;
    glm::vec3 lastExamined = start;
    while (!bullets.empty() && flights < 1000) {
      lastExamined = centreOf(*bullets.front());
      bulletHits();
      if (bullets.empty()) break;
      updateWorld(dt);
      ++flights;
    }
    ASSERT_TRUE(bullets.empty());
    // Gone at the first check after its fourth second, without an effect of its own.
    EXPECT_GE(flights * dt, 4.0f - 1e-4f);
    EXPECT_LE(flights * dt, 4.0f + dt + 1e-4f);
    EXPECT_NEAR(glm::length(lastExamined - start), 40.0f, 10.0f * dt + 1e-3f);
    EXPECT_FALSE(explosionPending);
  }
}

TEST_F(GameRulesTest, BulletsLiveWhileTheirTimeIsAboveZero) {
  scene::Bullet* almost = fireAt({0.0f, 1.5f, 0.0f});
  almost->lifetime = 1e-6f;
  fireAt({0.0f, 1.5f, -2.0f})->lifetime = 0.0f;
  bulletHits();
  ASSERT_EQ(bullets.size(), 1u);
  EXPECT_EQ(bullets.front().get(), almost);
}

TEST_F(GameRulesTest, AHitAtTheFrontTakesEveryLaterBulletThatHitNothing) {
  buildWall();
  scene::Bullet* a = fireAt({5.0f, 1.5f, 0.0f});
  const glm::vec3 aCentre = centreOf(*a);
  fireAt({0.0f, 1.5f, -2.0f});
  fireAt({0.0f, 1.5f, -4.0f});
  bulletHits();
  EXPECT_TRUE(bullets.empty());
  EXPECT_TRUE(explosionPending);
  EXPECT_EQ(explosionKind, 0);
  EXPECT_EQ(explosionPosition, aCentre);
}

TEST_F(GameRulesTest, AHitAtTheBackLeavesTheEarlierBulletsInTheirOrder) {
  buildWall();
  scene::Bullet* a = fireAt({0.0f, 1.5f, -2.0f});
  scene::Bullet* b = fireAt({0.0f, 1.5f, -4.0f});
  const glm::vec3 cCentre = centreOf(*fireAt({5.0f, 1.5f, 0.0f}));
  bulletHits();
  ASSERT_EQ(bullets.size(), 2u);
  EXPECT_EQ(bullets[0].get(), a);
  EXPECT_EQ(bullets[1].get(), b);
  EXPECT_TRUE(explosionPending);
  EXPECT_EQ(explosionKind, 0);
  EXPECT_EQ(explosionPosition, cCentre);
}

TEST_F(GameRulesTest, EveryBulletThatMovesUpIntoAFreedPlaceIsStillExamined) {
  // Two hits in a row: the second moves into the first one's index and must be tested there.
  buildWall();
  placeEnemy(enemy1, {0.0f, 1.5f, -8.0f});
  fireAt({5.0f, 1.5f, 0.0f});
  const glm::vec3 second = centreOf(*fireAt({0.0f, 1.5f, -8.0f}));
  bulletHits();
  EXPECT_TRUE(bullets.empty());
  EXPECT_EQ(enemy1.hitPoints, 1);
  // One effect request, named after the later hit.
  EXPECT_TRUE(explosionPending);
  EXPECT_EQ(explosionKind, 1);
  EXPECT_EQ(explosionPosition, second);
}

TEST_F(GameRulesTest, TheLevelIsTestedBeforeTheEnemies) {
  buildWall();
  placeEnemy(enemy1, {5.0f, 1.5f, 0.0f});
  fireAt({5.0f, 1.5f, 0.0f});
  bulletHits();
  EXPECT_EQ(explosionKind, 0);
  EXPECT_EQ(enemy1.hitPoints, 2);
}

TEST_F(GameRulesTest, TwoHitsDestroyAnEnemyAndLaterBulletsPassThrough) {
  placeEnemy(enemy1, {0.0f, 1.5f, -8.0f});

  fireAt({0.0f, 1.5f, -8.0f});
  bulletHits();
  EXPECT_TRUE(bullets.empty());
  EXPECT_TRUE(explosionPending);
  EXPECT_EQ(explosionKind, 1);
  EXPECT_EQ(enemy1.hitPoints, 1);
  EXPECT_FALSE(enemy1Destroyed);

  explosionPending = false;  // as the frame's draw does
  fireAt({0.0f, 1.5f, -8.0f});
  bulletHits();
  EXPECT_TRUE(explosionPending);
  EXPECT_EQ(enemy1.hitPoints, 0);
  EXPECT_TRUE(enemy1Destroyed);

  explosionPending = false;
  scene::Bullet* third = fireAt({0.0f, 1.5f, -8.0f});
  bulletHits();
  ASSERT_EQ(bullets.size(), 1u);
  EXPECT_EQ(bullets.front().get(), third);
  EXPECT_FALSE(explosionPending);
  EXPECT_EQ(enemy1.hitPoints, 0);
}

TEST_F(GameRulesTest, EnemyOneTakesTheHitBeforeEnemyTwo) {
  placeEnemy(enemy1, {0.0f, 1.5f, -8.0f});
  placeEnemy(enemy2, {0.0f, 1.5f, -8.0f});
  fireAt({0.0f, 1.5f, -8.0f});
  bulletHits();
  EXPECT_EQ(enemy1.hitPoints, 1);
  EXPECT_EQ(enemy2.hitPoints, 2);

  enemy1.hitPoints = 0;
  enemy1Destroyed = true;
  enemy2.hitPoints = 1;
  fireAt({0.0f, 1.5f, -8.0f});
  bulletHits();
  EXPECT_EQ(enemy1.hitPoints, 0);
  EXPECT_EQ(enemy2.hitPoints, 0);
  EXPECT_TRUE(enemy2Destroyed);
}

TEST_F(GameRulesTest, AHitOnTheButtonWinsTheGame) {
  // The button's face lies in the plane z = -36.5, x 42.4 to 43.8, y 7.1 to 8.9.
  const glm::vec3 centre = centreOf(*fireAt({43.0f, 8.0f, -36.5f}));
  bulletHits();
  EXPECT_TRUE(bullets.empty());
  EXPECT_TRUE(gameWon);
  EXPECT_FALSE(gameLost);
  EXPECT_TRUE(explosionPending);
  EXPECT_EQ(explosionKind, 2);
  EXPECT_EQ(explosionPosition, centre);
}

TEST_F(GameRulesTest, EmptiedOwnersAreLeftAlone) {
  // After cleanup the list still holds its emptied owners.
  bullets.push_back(nullptr);
  fireAt({0.0f, 1.5f, -2.0f});
  bulletHits();
  updateWorld(0.1);
  EXPECT_EQ(bullets.size(), 2u);
}

// ---- The world update

TEST_F(GameRulesTest, TheWorldUpdateMovesTheRobotBulletsAndLivingEnemies) {
  enemy1.direction = {1.0f, 0.0f, 0.0f};
  enemy2.direction = {0.0f, 0.0f, 1.0f};
  scene::Bullet* bullet = fireAt({0.0f, 1.5f, -2.0f});
  bullet->lifetime = -1.0f;  // spent bullets fly on until the rules remove them
  const glm::vec3 bulletBefore = centreOf(*bullet);

  updateWorld(0.1);
  EXPECT_LT(character.worldCornerA.y, 0.0f);  // nothing to stand on: it falls
  EXPECT_NEAR(glm::distance(centreOf(*bullet), bulletBefore), 1.0f, 1e-5f);
  EXPECT_NEAR(enemy1.modelMatrix[3].x, -40.0f + 0.1f, 1e-5f);
  EXPECT_NEAR(enemy2.modelMatrix[3].z, 0.1f, 1e-5f);
}

TEST_F(GameRulesTest, DestroyedEnemiesStandStill) {
  enemy1.direction = {1.0f, 0.0f, 0.0f};
  enemy2.direction = {1.0f, 0.0f, 0.0f};
  enemy1Destroyed = true;
  enemy2Destroyed = true;
  const glm::mat4 enemy1Before = enemy1.modelMatrix;
  const glm::mat4 enemy2Before = enemy2.modelMatrix;
  scene::Bullet* bullet = fireAt({0.0f, 1.5f, -2.0f});
  updateWorld(0.1);
  EXPECT_EQ(enemy1.modelMatrix, enemy1Before);
  EXPECT_EQ(enemy2.modelMatrix, enemy2Before);
  EXPECT_LT(character.worldCornerA.y, 0.0f);
  EXPECT_LT(centreOf(*bullet).z, -2.0f);
}

TEST_F(GameRulesTest, OnceAnEnemyHasArrivedNeitherEnemyMovesAgain) {
  enemy1.direction = {1.0f, 0.0f, 0.0f};
  enemy2.direction = {1.0f, 0.0f, 0.0f};
  enemyReachedPlayer = true;
  const glm::mat4 enemy1Before = enemy1.modelMatrix;
  const glm::mat4 enemy2Before = enemy2.modelMatrix;
  scene::Bullet* bullet = fireAt({0.0f, 1.5f, -2.0f});
  updateWorld(0.1);
  EXPECT_EQ(enemy1.modelMatrix, enemy1Before);
  EXPECT_EQ(enemy2.modelMatrix, enemy2Before);
  EXPECT_LT(character.worldCornerA.y, 0.0f);
  EXPECT_LT(centreOf(*bullet).z, -2.0f);
}

// ---- Outcome: fall, countdown, final lines

// Frames of the loop's world and outcome steps at a fixed frame time. Returns the
// number of frames played until the end was requested (or limit).
int playUntilQuit(float dt, int limit, int& outcomeFrame) {
  deltaTime = dt;
  outcomeFrame = -1;
  for (int frame = 0; frame < limit; ++frame) {
    updateWorld(dt);
    outcomeBookkeeping();
    if (outcomeFrame < 0 && (gameWon || gameLost)) outcomeFrame = frame;
    if (quitRequested) return frame + 1;
  }
  return limit;
}

TEST_F(GameRulesTest, FallingBelowMinusTenLosesAboutOneSecondLater) {
  const float dt = 1.0f / 60.0f;
  int lossFrame = -1;
  const int frames = playUntilQuit(dt, 2000, lossFrame);
  ASSERT_TRUE(quitRequested);
  ASSERT_GE(lossFrame, 0);
  EXPECT_LT(character.worldCornerA.y, -10.0f);
  // The countdown runs from the frame of the fall on, until it is below zero.
  const float countdown = static_cast<float>(frames - lossFrame) * dt;
  EXPECT_GE(countdown, 1.0f - 1e-4f);
  EXPECT_LE(countdown, 1.0f + dt + 1e-4f);

  testing::internal::CaptureStdout();
  printOutcome();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kLossLines);
}

TEST_F(GameRulesTest, ARobotExactlyAtMinusTenHasNotFallenYet) {
  character.worldCornerA.y = -10.0f;
  outcomeBookkeeping();
  EXPECT_FALSE(gameLost);
  character.worldCornerA.y = -10.001f;
  outcomeBookkeeping();
  EXPECT_TRUE(gameLost);
}

TEST_F(GameRulesTest, AWinEndsTheGameAboutFourSecondsLater) {
  // A floor under the robot, so that only the win ends the game.
  levelMap.floorBoxes.push_back({{-50.0f, -0.5f, 50.0f}, {50.0f, -0.5f, -50.0f}});
  placeRobot(glm::vec3(0.0f));
  const float dt = 1.0f / 60.0f;
  fireAt({43.0f, 8.0f, -36.5f});
  bulletHits();
  ASSERT_TRUE(gameWon);

  int winFrame = -1;
  const int frames = playUntilQuit(dt, 2000, winFrame);
  ASSERT_TRUE(quitRequested);
  EXPECT_EQ(winFrame, 0);
  const float countdown = static_cast<float>(frames) * dt;
  EXPECT_GE(countdown, 4.0f - 1e-4f);
  EXPECT_LE(countdown, 4.0f + dt + 1e-4f);
  EXPECT_FALSE(gameLost);

  testing::internal::CaptureStdout();
  printOutcome();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kVictoryLines);
}

TEST_F(GameRulesTest, AReachAfterAWinKeepsTheWinsCountdownAndItsLines) {
  levelMap.floorBoxes.push_back({{-50.0f, -0.5f, 50.0f}, {50.0f, -0.5f, -50.0f}});
  placeRobot(glm::vec3(0.0f));
  const float dt = 0.1f;
  deltaTime = dt;
  gameWon = true;
  int frames = 0;
  testing::internal::CaptureStdout();
  while (!quitRequested && frames < 100) {
    if (frames == 10) placeEnemy(enemy1, {0.9f, 1.0f, 0.0f});  // an enemy arrives after 1 s
    enemiesCloseIn();
    updateWorld(dt);
    outcomeBookkeeping();
    ++frames;
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kReachLine);
  EXPECT_TRUE(gameLost);
  EXPECT_GE(frames * dt, 4.0f - 1e-4f);
  EXPECT_LE(frames * dt, 4.0f + dt + 1e-4f);

  testing::internal::CaptureStdout();
  printOutcome();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kVictoryLines);
}

TEST_F(GameRulesTest, AWinDuringTheLossCountdownKeepsItsLengthButCountsAsAWin) {
  const float dt = 0.1f;
  deltaTime = dt;
  gameLost = true;
  outcomeBookkeeping();
  gameWon = true;
  int frames = 1;
  while (!quitRequested && frames < 100) {
    outcomeBookkeeping();
    ++frames;
  }
  EXPECT_GE(frames * dt, 1.0f - 1e-4f);
  EXPECT_LE(frames * dt, 1.0f + dt + 1e-4f);
  testing::internal::CaptureStdout();
  printOutcome();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kVictoryLines);
}

TEST_F(GameRulesTest, ACountdownThatRunsOutExactlyOnZeroEndsTheGame) {
  // 4 s is exactly 32 frames of 1/8 s: the countdown lands on 0, and must not start over.
  levelMap.floorBoxes.push_back({{-50.0f, -0.5f, 50.0f}, {50.0f, -0.5f, -50.0f}});
  placeRobot(glm::vec3(0.0f));
  gameWon = true;
  int winFrame = -1;
  const int frames = playUntilQuit(0.125f, 100, winFrame);
  EXPECT_TRUE(quitRequested);
  EXPECT_EQ(frames, 32);
}

TEST_F(GameRulesTest, WithoutAnOutcomeThereIsNoCountdownAndNoLines) {
  levelMap.floorBoxes.push_back({{-50.0f, -0.5f, 50.0f}, {50.0f, -0.5f, -50.0f}});
  placeRobot(glm::vec3(0.0f));
  int outcomeFrame = -1;
  playUntilQuit(0.1f, 100, outcomeFrame);
  EXPECT_FALSE(quitRequested);
  EXPECT_EQ(endDelay, 0.0f);
  EXPECT_EQ(outcomeFrame, -1);
  testing::internal::CaptureStdout();
  printOutcome();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
}  // namespace varn::test
