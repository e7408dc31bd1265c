// The play-through across the level: the winning route.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <set>

#include "PlaySupport.h"
#include "app/Globals.h"

using namespace varn::play;
using varn::app::ScriptedPlatform;

namespace {

// The route from the start to the button room, as the keys held in each leg at 1/60 s a frame. Most legs
// end against a wall, which lines the robot up; with Space held the robot jumps again on every landing.
struct Leg {
  std::set<int> keys;
  int frames;
};
const Leg kStartToButtonRoom[] = {
    {{}, 30},                             // drop onto the start room's floor
    {{GLFW_KEY_W}, 120},                  // north to the start room's north wall
    {{GLFW_KEY_D}, 120},                  // east along it, in front of the corridor
    {{GLFW_KEY_W}, 192},                  // north through the corridor into the second room
    {{GLFW_KEY_D, GLFW_KEY_SPACE}, 600},  // east up the eight steps into the hall, to its east wall
    {{GLFW_KEY_W}, 54},                   // north along the wall to the doorway
    {{GLFW_KEY_D, GLFW_KEY_SPACE}, 300},  // east up two steps into the fourth room
    {{GLFW_KEY_W, GLFW_KEY_SPACE}, 216},  // north up the four steps into the button room
    {{GLFW_KEY_W}, 120},                  // on to its back wall, under the button
    {{GLFW_KEY_S}, 60},                   // back off to the shooting position
};
// From within 0.4 of here (in x and z) a shot straight at -z from the shoulder meets the button first.
const glm::vec3 kShootingPosition{43.2f, 6.0f, -32.5f};
constexpr float kShootingTolerance = 0.4f;

void appendRoute(ScriptedPlatform& platform) {
  for (const Leg& leg : kStartToButtonRoom) platform.append({leg.keys, {}, {}}, leg.frames);
}

// Aims straight at -z (the centre column, above the robot: the player camera keeps its offset from the
// robot, so the pixel is the same everywhere), waits a few frames for the turn, and fires once.
void appendShotAtButton(ScriptedPlatform& platform) {
  const glm::mat4 view = glm::lookAt(glm::vec3(0.0f, 5.0f, 3.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
  const glm::vec4 clip = glm::perspective(1.0471976f, 800.0f / 600.0f, 0.1f, 40.0f) * view * glm::vec4(0, 1.5f, -3, 1);
  platform.cursorAt(400.0, (1.0 - clip.y / clip.w) * 300.0).idle(3).click(1);
}

}  // namespace

TEST(Playthrough, Win) {
  ScriptedPlatform platform;
  appendRoute(platform);
  const int shotFrame = platform.scriptLength() + 3;
  appendShotAtButton(platform);
  platform.idle(8 * kFramesPerSecond);
  platform.setAfterScript(ScriptedPlatform::AfterScript::ReleaseAll);
  glm::vec3 arrival(0.0f);
  int hitFrame = -1;
  const PlayResult result = play("win", platform, [&](const FrameRecord& f) {
    if (f.frame == shotFrame - 1) arrival = f.robotPosition, screenshot("win-button-room");
    if (f.newEffectKind == 2) hitFrame = f.frame;
    if (hitFrame >= 0 && f.frame == hitFrame + 20) screenshot("win-explosion");
  });
  expectCleanRun(result);
  EXPECT_NEAR(arrival.x, kShootingPosition.x, kShootingTolerance);
  EXPECT_NEAR(arrival.z, kShootingPosition.z, kShootingTolerance);
  EXPECT_NEAR(arrival.y, kShootingPosition.y, 0.2f);
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
