// Play-throughs in the start room: being reached, fighting both enemies, quitting.
#include <gtest/gtest.h>

#include <algorithm>

#include "PlaySupport.h"
#include "app/Globals.h"

using namespace varn::play;
using varn::app::ScriptedPlatform;

TEST(Playthrough, Reached) {
  ScriptedPlatform platform;
  platform.idle(20 * kFramesPerSecond);
  platform.setAfterScript(ScriptedPlatform::AfterScript::ReleaseAll);
  // At the start the robot stands in the middle of the picture, drawn with its outline;
  // open floor at the same height beside it has none.
  float outlineOnRobot = -1.0f, outlineOnFloor = -1.0f;
  const PlayResult result = play("reached", platform, [&](const FrameRecord& f) {
    if (f.frame != 10) return;
    const glm::vec3 middle = (varn::character.worldCornerA + varn::character.worldCornerB) * 0.5f;
    glm::vec2 robot, floor;
    ASSERT_TRUE(projectToWindow(middle, robot));
    ASSERT_TRUE(projectToWindow(middle + glm::vec3(2.5f, 0.0f, 0.0f), floor));
    const auto picture = backBuffer();
    outlineOnRobot = darkShare(picture, robot, 50);
    outlineOnFloor = darkShare(picture, floor, 50);
  });
  expectCleanRun(result);
  EXPECT_GT(outlineOnRobot, outlineOnFloor + 0.03f);
  const auto lines = result.lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_GE(result.count("An enemy reached your position!"), 1u);
  EXPECT_EQ(lines[lines.size() - 2], "You lost!");
  EXPECT_EQ(lines.back(), "Please try again!");
  // About one second passes between the touch and the end of the loop.
  const auto lost =
      std::find_if(result.frames.begin(), result.frames.end(), [](const FrameRecord& f) { return f.gameLost; });
  ASSERT_NE(lost, result.frames.end());
  EXPECT_NEAR(result.frames.back().frame - lost->frame, kFramesPerSecond, 2);
  const glm::vec3 end = result.frames.back().robotPosition;
  EXPECT_LT(glm::length(glm::vec2(end.x, end.z)), 1e-4f) << "the robot never moved: the enemies came to it";
}

TEST(Playthrough, Escape) {
  ScriptedPlatform platform;
  platform.idle(30);
  const PlayResult result = play("escape", platform);
  expectCleanRun(result);
  // Escape is seen at the end of the last scripted frame, and that frame ends the loop.
  EXPECT_EQ(result.frames.back().frame, 29);
  ASSERT_FALSE(result.lines().empty());
  EXPECT_EQ(result.lines().back(), "Models/bullet/bullet.obj successfully loaded") << "no outcome lines";
}

TEST(Playthrough, Combat) {
  ScriptedPlatform platform;
  // Keep the trigger held; the aim follows the nearest living enemy.
  platform.click(7 * kFramesPerSecond);
  uint32_t consideredAtStart = 0, consideredAfterBoth = 0;
  glm::vec3 lastEnemyPosition(0.0f);
  int bothDestroyedAt = -1;
  // Brightness at a burst when it starts, and at the same place once it has died down.
  struct Burst {
    glm::vec3 position;
    int frame;
    float brightness;
    float afterwards = -1.0f;
  };
  std::vector<Burst> bursts;
  const PlayResult result = play("combat", platform, [&](const FrameRecord& f) {
    // Each bullet in flight is considered twice a frame; the rest is the scene.
    const uint32_t sceneConsidered = f.objectsConsidered - 2 * static_cast<uint32_t>(f.bullets);
    if (f.frame == 1) consideredAtStart = sceneConsidered;
    if (!varn::enemy1Destroyed || !varn::enemy2Destroyed) {
      const varn::scene::Enemy& enemy = !varn::enemy1Destroyed ? varn::enemy1 : varn::enemy2;
      lastEnemyPosition = (enemy.worldCornerA + enemy.worldCornerB) * 0.5f;
    } else {
      if (bothDestroyedAt < 0) bothDestroyedAt = f.frame;
      consideredAfterBoth = sceneConsidered;  // and fire on through where the last enemy stood
    }
    aimAt(platform, {lastEnemyPosition.x, f.robotPosition.y + 1.5f, lastEnemyPosition.z});  // at shoulder height
    glm::vec2 pixel;
    if (f.newEffectKind == 1 && projectToWindow(varn::explosionPosition, pixel)) {
      bursts.push_back({varn::explosionPosition, f.frame, meanBrightness(backBuffer(), pixel, 5)});
      screenshot("combat-hit-" + std::to_string(bursts.size()));
    }
    for (Burst& burst : bursts) {
      // A kind-1 burst lasts 0.3 s; half a second later only the scene is left.
      if (f.frame == burst.frame + kFramesPerSecond / 2 && projectToWindow(burst.position, pixel))
        burst.afterwards = meanBrightness(backBuffer(), pixel, 5);
    }
  });
  expectCleanRun(result);
  EXPECT_EQ(result.lines().back(), "Models/bullet/bullet.obj successfully loaded") << "no outcome: nobody was reached";
  ASSERT_GE(bothDestroyedAt, 0) << "both enemies were destroyed";
  // Two hits per enemy, each with its own effect; bullets fired after that pass where the enemies were.
  const auto enemyHits = result.effectFrames(1);
  EXPECT_EQ(enemyHits.size(), 4u);
  EXPECT_TRUE(std::all_of(enemyHits.begin(), enemyHits.end(), [&](int hit) { return hit <= bothDestroyedAt; }));
  EXPECT_EQ(consideredAtStart - consideredAfterBoth, 4u);
  // The bursts glow brighter than the scene they cover.
  ASSERT_FALSE(bursts.empty());
  for (const Burst& burst : bursts)
    EXPECT_TRUE(burst.afterwards < 0.0f || burst.brightness > burst.afterwards + 10.0f)
        << "frame " << burst.frame << ": " << burst.brightness << " at the burst, " << burst.afterwards << " after";
}
