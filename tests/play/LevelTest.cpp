// Play-throughs across the level: the winning route, the fall off the open edge,
// the render toggles and the free camera, and a long soak with continuous fire.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>

#include "PlaySupport.h"
#include "RouteScript.h"
#include "app/Globals.h"
#include "render/FrameRenderer.h"
#include "render/RenderState.h"

using namespace varn::play;
using varn::app::ScriptedPlatform;
namespace route = varn::test::route;

namespace {

// Resident memory of this process in kB.
long residentKilobytes() {
  std::ifstream status("/proc/self/status");
  long kb = -1;
  for (std::string key; status >> key;)
    if (key == "VmRSS:" && status >> kb) break;
  return kb;
}

// Live buffers, vertex arrays, programs and queries, found by asking for every name up
// to a bound far above what the game ever allocates at once.
std::array<int, 4> countLiveObjects() {
  std::array<int, 4> live{};
  for (GLuint name = 1; name < 20000; ++name) {
    live[0] += glIsBuffer(name) ? 1 : 0;
    live[1] += glIsVertexArray(name) ? 1 : 0;
    live[2] += glIsProgram(name) ? 1 : 0;
    live[3] += glIsQuery(name) ? 1 : 0;
  }
  return live;
}

// Whether the robot darkens the shadow map: the depth stored where the light sees the
// robot's middle is nearer to the light than the floor beneath it.
bool robotCastsShadow() {
  using namespace varn;
  const render::Light light = render::chooseNearestLight(render::lights, character.worldCornerA);
  const glm::mat4 toMap = render::biasMatrix() * render::lightProjectionMatrix() * render::lightViewFor(light);
  const glm::vec3 middle = (character.worldCornerA + character.worldCornerB) * 0.5f;
  const glm::vec4 atRobot = toMap * glm::vec4(middle, 1.0f);
  const glm::vec4 atFloor = toMap * glm::vec4(middle.x, character.worldCornerA.y, middle.z, 1.0f);
  const int size = render::kShadowMapSize;
  std::vector<float> depths(static_cast<size_t>(size) * size);
  glBindTexture(GL_TEXTURE_2D, render::depthTexture);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depths.data());
  glBindTexture(GL_TEXTURE_2D, 0);
  const int x = std::clamp(static_cast<int>(atRobot.x / atRobot.w * size), 0, size - 1);
  const int y = std::clamp(static_cast<int>(atRobot.y / atRobot.w * size), 0, size - 1);
  return depths[static_cast<size_t>(y) * size + static_cast<size_t>(x)] < atFloor.z / atFloor.w - 0.01f;
}

}  // namespace

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
    glm::vec2 button(0.0f);  // where the button is drawn, in view from the shooting position
    projectToWindow(route::kButtonAimPoint, button);
    if (f.frame == shotFrame - 1) {
      arrival = f.robotPosition;
      beforeHit = meanBrightness(backBuffer(), button, 40);
      screenshot("win-button-room");
    }
    if (f.newEffectKind == 2) hitFrame = f.frame;
    if (hitFrame >= 0 && f.frame == hitFrame + 20) {
      afterHit = meanBrightness(backBuffer(), button, 40);
      screenshot("win-explosion");
    }
  });
  expectCleanRun(result);
  // The robot got there by walking and jumping.
  EXPECT_NEAR(arrival.x, route::kShootingPosition.x, route::kShootingTolerance);
  EXPECT_NEAR(arrival.z, route::kShootingPosition.z, route::kShootingTolerance);
  EXPECT_NEAR(arrival.y, route::kShootingPosition.y, 0.2f);
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

TEST(Playthrough, TogglesAndCameras) {
  ScriptedPlatform platform;
  varn::test::appendRouteToButtonRoom(platform);  // away from the enemies first
  const int start = platform.scriptLength();
  platform.hold({GLFW_KEY_F3}, kFramesPerSecond);    // on, off, on at 0, 0.4 and 0.8 s
  platform.idle(30).hold({GLFW_KEY_F3}, 1).idle(5);  // off again once the cooldown has run out
  platform.hold({GLFW_KEY_F4, GLFW_KEY_F5, GLFW_KEY_F8, GLFW_KEY_F9}, 1).idle(35);
  platform.hold({GLFW_KEY_F4, GLFW_KEY_F5, GLFW_KEY_F8, GLFW_KEY_F9}, 1).idle(35);
  platform.hold({GLFW_KEY_F5}, 1).idle(35);
  platform.hold({GLFW_KEY_F6, GLFW_KEY_F7}, 1).idle(35);  // F6 wins the shared cooldown
  platform.hold({GLFW_KEY_F7}, 1).idle(35);
  const int freeCameraFrame = platform.scriptLength();
  platform.cursorAt(123, 234).hold({GLFW_KEY_C}, 1);
  platform.cursorAt(500, 300).idle(41);  // look right and a little down
  const int backFrame = platform.scriptLength();
  platform.hold({GLFW_KEY_C}, 1).idle(10);

  uint32_t consideredBefore = 0, consideredInFree = 0;
  bool shadowInFree = false;
  double cursorX = -1.0, cursorY = -1.0;
  std::vector<uint8_t> filled;
  float lineDifference = 0.0f;
  const PlayResult result = play("toggles", platform, [&](const FrameRecord& f) {
    if (f.frame == start - 1) {
      consideredBefore = f.objectsConsidered;
      filled = backBuffer();
      screenshot("toggles-filled");
    }
    if (f.frame == start + 5) {
      // Wireframe: most of the picture turns to the black background between lines.
      const glm::vec2 centre(400.0f, 300.0f);
      lineDifference = darkShare(backBuffer(), centre, 200) - darkShare(filled, centre, 200);
      screenshot("toggles-wireframe");
    }
    if (f.frame == freeCameraFrame + 20) {
      consideredInFree = f.objectsConsidered;
      shadowInFree = robotCastsShadow();
      screenshot("toggles-free-camera");
    }
    if (f.frame == backFrame + 2) platform.cursorPosition(cursorX, cursorY);
  });
  expectCleanRun(result);
  // One line per toggle, in the order of the presses above.
  const std::string expected =
      "Wireframe mode turned on\nWireframe mode turned off\nWireframe mode turned on\nWireframe mode turned off\n"
      "Texture Sampling Quality: Nearest Neighbour\nMipMap Quality: OFF\nViewfrustum Culling: OFF\nTransparency: OFF\n"
      "Texture Sampling Quality: Bilinear\nMipMap Sampling Quality: Nearest Neighbour\nViewfrustum Culling: ON\n"
      "Transparency: ON\nMipMap Sampling Quality: Bilinear\nAmbient Light Strength decreased\n"
      "Ambient Light Strength increased\n";
  const size_t first = result.out.find("Wireframe mode turned on\n");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(result.out.substr(first), expected);
  EXPECT_GT(lineDifference, 0.2f) << "wireframe shows lines over an empty background";
  // The free camera hides the robot from both colour passes; it still casts its shadow.
  EXPECT_EQ(consideredBefore - consideredInFree, 2u);
  EXPECT_TRUE(shadowInFree);
  EXPECT_TRUE(cursorX == 123.0 && cursorY == 234.0) << "leaving the free camera puts the cursor back";
  EXPECT_GE(platform.cursorNormalCalls(), 1);
}

TEST(Playthrough, Soak) {
  // Minutes of game time with the trigger held: first at the enemies, then sweeping
  // round the start room's walls. GL objects and memory must level off.
  ScriptedPlatform platform;
  platform.click(2 * 60 * kFramesPerSecond);
  long memoryAtOneMinute = -1, memoryAtEnd = -1;
  std::array<int, 4> objectsAtOneMinute{}, objectsAtEnd{};
  const PlayResult result = play("soak", platform, [&](const FrameRecord& f) {
    glm::vec3 target;
    if (!varn::enemy1Destroyed || !varn::enemy2Destroyed) {
      const varn::scene::Enemy& enemy = !varn::enemy1Destroyed ? varn::enemy1 : varn::enemy2;
      target = (enemy.worldCornerA + enemy.worldCornerB) * 0.5f;
    } else {
      // One turn every 8 s round the robot.
      const float angle = static_cast<float>(f.frame) * 6.2831853f / (8.0f * kFramesPerSecond);
      target = f.robotPosition + glm::vec3(3.0f * std::sin(angle), 0.0f, -3.0f * std::cos(angle));
    }
    aimAt(platform, {target.x, f.robotPosition.y + 1.5f, target.z});  // at shoulder height
    if (f.frame == 60 * kFramesPerSecond) {
      memoryAtOneMinute = residentKilobytes();
      objectsAtOneMinute = countLiveObjects();
    }
    if (f.frame == platform.scriptLength() - 1) {
      memoryAtEnd = residentKilobytes();
      objectsAtEnd = countLiveObjects();
    }
  });
  expectCleanRun(result);
  EXPECT_GE(result.frames.back().frame, platform.scriptLength() - 1) << "the game lasted the whole soak";
  EXPECT_EQ(result.effectFrames(1).size(), 4u);
  EXPECT_GT(result.effectFrames(0).size(), 100u) << "shots kept hitting the walls";
  const char* const kinds[] = {"buffers", "vertex arrays", "programs", "queries"};
  for (int kind = 0; kind < 4; ++kind)
    EXPECT_LE(objectsAtEnd[kind], objectsAtOneMinute[kind] + 20) << kinds[kind] << " leak";
  ASSERT_GT(memoryAtOneMinute, 0);
  EXPECT_LT(memoryAtEnd - memoryAtOneMinute, 20 * 1024) << "resident memory grew by more than 20 MB";
}
