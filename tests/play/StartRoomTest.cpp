// Play-throughs in the start room: being reached, fighting both enemies, quitting.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "PlaySupport.h"
#include "app/Globals.h"

using varn::play::FrameRecord;
using varn::play::PlayResult;
using varn::app::ScriptedPlatform;

namespace {

constexpr int kFramesPerSecond = 60;

size_t count(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

glm::vec3 centreOf(const varn::scene::Enemy& enemy) { return (enemy.worldCornerA + enemy.worldCornerB) * 0.5f; }

void expectCleanRun(const PlayResult& result) {
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.firstGlError, 0u) << "first GL error in frame " << result.firstGlErrorFrame;
}

}  // namespace

TEST(Playthrough, Reached) {
  ScriptedPlatform platform;
  platform.idle(20 * kFramesPerSecond);
  platform.setAfterScript(ScriptedPlatform::AfterScript::ReleaseAll);
  // At the start the robot stands in the middle of the picture, drawn with its outline;
  // open floor at the same height beside it has none.
  float outlineOnRobot = -1.0f;
  float outlineOnFloor = -1.0f;
  const PlayResult result = varn::play::play("reached", platform, [&](const FrameRecord& f) {
    if (f.frame != 10) return;
    const glm::vec3 middle = (varn::character.worldCornerA + varn::character.worldCornerB) * 0.5f;
    glm::vec2 robot;
    glm::vec2 floor;
    ASSERT_TRUE(varn::play::projectToWindow(middle, robot));
    ASSERT_TRUE(varn::play::projectToWindow(middle + glm::vec3(2.5f, 0.0f, 0.0f), floor));
    const auto picture = varn::play::backBuffer();
    outlineOnRobot = varn::play::darkShare(picture, robot, 50);
    outlineOnFloor = varn::play::darkShare(picture, floor, 50);
  });
  expectCleanRun(result);
  const auto lines = result.lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_GE(count(lines, "An enemy reached your position!"), 1u);
  EXPECT_EQ(lines[lines.size() - 2], "You lost!");
  EXPECT_EQ(lines.back(), "Please try again!");

  // About one second passes between the touch and the end of the loop.
  const int lostAt = result.firstFrameWhere([](const FrameRecord& f) { return f.gameLost; });
  ASSERT_GE(lostAt, 0);
  const int lastFrame = result.frames.back().frame;
  EXPECT_NEAR(lastFrame - lostAt, kFramesPerSecond, 2);
  EXPECT_GT(outlineOnRobot, outlineOnFloor + 0.03f);
  // The robot never moved: the enemies came to it.
  EXPECT_NEAR(result.frames.back().robotPosition.x, 0.0f, 1e-4f);
  EXPECT_NEAR(result.frames.back().robotPosition.z, 0.0f, 1e-4f);
}

TEST(Playthrough, Escape) {
  ScriptedPlatform platform;
  platform.idle(30);
  const PlayResult result = varn::play::play("escape", platform);
  expectCleanRun(result);
  // Escape is seen at the end of the last scripted frame, and that frame ends the loop.
  EXPECT_EQ(result.frames.back().frame, 29);
  const auto lines = result.lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Models/bullet/bullet.obj successfully loaded");
  EXPECT_EQ(count(lines, "You lost!"), 0u);
  EXPECT_EQ(count(lines, "BOOOOOOOOM!"), 0u);
}

TEST(Playthrough, Combat) {
  ScriptedPlatform platform;
  // Keep the trigger held; the aim follows the nearest living enemy.
  platform.click(7 * kFramesPerSecond);
  uint32_t consideredAtStart = 0;
  uint32_t consideredAfterBoth = 0;
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
  const PlayResult result = varn::play::play("combat", platform, [&](const FrameRecord& f) {
    // Each bullet in flight is considered twice a frame; the rest is the scene.
    const uint32_t sceneConsidered = f.objectsConsidered - 2 * static_cast<uint32_t>(f.bullets);
    if (f.frame == 1) consideredAtStart = sceneConsidered;
    const glm::vec3 shoulder = f.robotPosition + glm::vec3(0.0f, 1.5f, 0.0f);
    glm::vec3 target;
    if (!varn::enemy1Destroyed) {
      target = centreOf(varn::enemy1);
      lastEnemyPosition = target;
    } else if (!varn::enemy2Destroyed) {
      target = centreOf(varn::enemy2);
      lastEnemyPosition = target;
    } else {
      if (bothDestroyedAt < 0) bothDestroyedAt = f.frame;
      consideredAfterBoth = sceneConsidered;
      target = lastEnemyPosition;  // fire on through where the last enemy stood
    }
    target.y = shoulder.y;
    const glm::vec2 cursor = varn::play::cursorFor(target);
    platform.setCursorPosition(cursor.x, cursor.y);
    glm::vec2 pixel;
    if (f.newEffectKind == 1 && varn::play::projectToWindow(varn::explosionPosition, pixel)) {
      bursts.push_back(
          {varn::explosionPosition, f.frame, varn::play::meanBrightness(varn::play::backBuffer(), pixel, 5)});
      varn::play::screenshot("combat-hit-" + std::to_string(bursts.size()));
    }
    for (Burst& burst : bursts) {
      // A kind-1 burst lasts 0.3 s; half a second later only the scene is left.
      if (f.frame == burst.frame + kFramesPerSecond / 2 && varn::play::projectToWindow(burst.position, pixel)) {
        burst.afterwards = varn::play::meanBrightness(varn::play::backBuffer(), pixel, 5);
      }
    }
  });
  expectCleanRun(result);
  EXPECT_EQ(result.lines().back(), "Models/bullet/bullet.obj successfully loaded") << "no outcome: nobody was reached";
  ASSERT_GE(bothDestroyedAt, 0) << "both enemies were destroyed";
  // Two hits per enemy, each with its own effect.
  const auto enemyHits = result.effectFrames(1);
  EXPECT_EQ(enemyHits.size(), 4u);
  // Bullets fired after that pass where the enemies were: no more enemy effects.
  EXPECT_TRUE(std::all_of(enemyHits.begin(), enemyHits.end(), [&](int hit) { return hit <= bothDestroyedAt; }));
  EXPECT_EQ(consideredAtStart - consideredAfterBoth, 4u);
  // The bursts glow brighter than the scene they cover.
  ASSERT_FALSE(bursts.empty());
  for (const Burst& burst : bursts) {
    if (burst.afterwards >= 0.0f) {
      EXPECT_GT(burst.brightness, burst.afterwards + 10.0f) << "frame " << burst.frame;
    }
  }
}
