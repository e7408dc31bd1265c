// The play-through across the level: the winning route.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "PlaySupport.h"
#include "RouteScript.h"
#include "app/Globals.h"

using namespace varn::play;
using varn::app::ScriptedPlatform;

using namespace varn::test;

TEST(Playthrough, Win) {
  ScriptedPlatform platform;
  appendRouteToButtonRoom(platform);
  const int shotFrame = platform.scriptLength() + 3;
  appendShotAtButton(platform);
  platform.idle(8 * kFramesPerSecond);
  platform.setAfterScript(ScriptedPlatform::AfterScript::ReleaseAll);
  int hitFrame = -1;
  const PlayResult result = play("win", platform, [&](const FrameRecord& f) {
    if (f.frame == shotFrame - 1) screenshot("win-button-room");
    if (f.newEffectKind == 2) hitFrame = f.frame;
    if (hitFrame >= 0 && f.frame == hitFrame + 20) screenshot("win-explosion");
  });
  expectCleanRun(result);
  const std::vector<int> hits = result.effectFrames(2);
  ASSERT_EQ(hits.size(), 1u) << "one shot, one button hit";
  EXPECT_GT(hits[0], shotFrame);
  EXPECT_NEAR(result.frames.back().frame - hits[0], 4 * kFramesPerSecond, 3) << "the game runs on for about 4 s";
  EXPECT_TRUE(
      result.endsWith("BOOOOOOOOM!\nYou have destroyed the factory and stopped the evil robot invasion!\n"
                      "Thanks a lot! You are a hero!\n"))
      << result.out;
  EXPECT_EQ(result.out.find("You lost!"), std::string::npos);
}
