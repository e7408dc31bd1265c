// Play-throughs across the level: the winning route and the fall off the open edge.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "PlaySupport.h"
#include "RouteScript.h"
#include "app/Globals.h"

using namespace varn::play;
using varn::app::ScriptedPlatform;
namespace route = varn::test::route;

TEST(Playthrough, Win) {
  ScriptedPlatform platform;
  varn::test::appendRouteToButtonRoom(platform);
  const int shotFrame = platform.scriptLength() + 3;
  varn::test::appendShotAtButton(platform);
  platform.idle(8 * kFramesPerSecond);
  platform.setAfterScript(ScriptedPlatform::AfterScript::ReleaseAll);

  glm::vec3 arrival(0.0f);
  float beforeHit = -1.0f, afterHit = -1.0f;
  int hitFrame = -1;
  const PlayResult result = play("win", platform, [&](const FrameRecord& f) {
    const glm::vec2 button(400.0f, 40.0f);  // top middle, where the wall with the button comes into view
    if (f.frame == shotFrame - 1) {
      arrival = f.robotPosition;
      beforeHit = Picture().brightness(button, 40);
      screenshot("win-button-room");
    }
    if (f.newEffectKind == 2) hitFrame = f.frame;
    if (hitFrame >= 0 && f.frame == hitFrame + 20) {
      afterHit = Picture().brightness(button, 40);
      screenshot("win-explosion");
    }
  });
  expectCleanRun(result);
  // The robot got there by walking and jumping.
  EXPECT_NEAR(arrival.x, route::kShootingPosition.x, route::kShootingTolerance);
  EXPECT_NEAR(arrival.z, route::kShootingPosition.z, route::kShootingTolerance);
  EXPECT_NEAR(arrival.y, route::kShootingPosition.y, 0.2f);
  // The robot carries the view along; the camera's stored eye, which the particles use, stays put.
  EXPECT_EQ(varn::playerCamera.position, glm::vec3(0.0f, 5.0f, 3.0f));
  ASSERT_EQ(result.effectFrames(2).size(), 1u) << "one shot, one button hit";
  ASSERT_GT(hitFrame, shotFrame);
  EXPECT_NEAR(result.frames.back().frame - hitFrame, 4 * kFramesPerSecond, 3) << "the game runs on for about 4 s";
  EXPECT_GT(afterHit, beforeHit + 10.0f) << "the burst lights up the button";
  const auto lines = result.lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(
      std::vector<std::string>(lines.end() - 3, lines.end()),
      (std::vector<std::string>{"BOOOOOOOOM!", "You have destroyed the factory and stopped the evil robot invasion!",
                                "Thanks a lot! You are a hero!"}));
  EXPECT_EQ(result.count("You lost!"), 0u);
}

TEST(Playthrough, Fall) {
  ScriptedPlatform platform;
  varn::test::appendLegs(platform, route::kStartToButtonRoom, route::kLegsToHallDoorway);
  varn::test::appendLegs(platform, route::kHallToOpenEdge);
  platform.idle(6 * kFramesPerSecond);
  platform.setAfterScript(ScriptedPlatform::AfterScript::ReleaseAll);
  const PlayResult result = play("fall", platform, [](const FrameRecord& f) {
    if (f.robotLowestY < -2.0f && f.robotLowestY > -2.3f) screenshot("fall");
  });
  expectCleanRun(result);
  const auto fell = std::find_if(result.frames.begin(), result.frames.end(),
                                 [](const FrameRecord& f) { return f.robotLowestY < route::kFallOutY; });
  ASSERT_NE(fell, result.frames.end()) << "the robot fell out of the level";
  EXPECT_NEAR(result.frames.back().frame - fell->frame, kFramesPerSecond, 2);
  const auto lines = result.lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "You lost!");
  EXPECT_EQ(lines.back(), "Please try again!");
  EXPECT_EQ(result.count("An enemy reached your position!"), 0u);
}
