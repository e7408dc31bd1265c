// Play-throughs across the level: the winning route, the fall off the open edge,
// the render toggles and the free camera, and a long soak with continuous fire.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "PlaySupport.h"
#include "RouteScript.h"
#include "app/Globals.h"
#include "render/FrameRenderer.h"
#include "render/RenderState.h"

using varn::play::FrameRecord;
using varn::play::PlayResult;
using varn::app::ScriptedPlatform;
namespace route = varn::test::route;

namespace {

constexpr int kFramesPerSecond = 60;

size_t count(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

size_t indexOf(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

void expectCleanRun(const PlayResult& result) {
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.firstGlError, 0u) << "first GL error in frame " << result.firstGlErrorFrame;
}

// Resident memory of this process in kB.
long residentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string key; status >> key;) {
    if (key == "VmRSS:") {
      long kb = 0;
      status >> kb;
      return kb;
    }
  }
  return -1;
}

// How many OpenGL objects of each kind exist, by asking for every name up to a bound
// far above what the game ever allocates at once.
struct LiveObjects {
  int buffers = 0, vertexArrays = 0, programs = 0, queries = 0;
};

LiveObjects countLiveObjects() {
  LiveObjects live;
  for (GLuint name = 1; name < 20000; ++name) {
    live.buffers += glIsBuffer(name) ? 1 : 0;
    live.vertexArrays += glIsVertexArray(name) ? 1 : 0;
    live.programs += glIsProgram(name) ? 1 : 0;
    live.queries += glIsQuery(name) ? 1 : 0;
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
  const float u = atRobot.x / atRobot.w;
  const float v = atRobot.y / atRobot.w;
  std::vector<float> depths(static_cast<size_t>(render::kShadowMapSize) * render::kShadowMapSize);
  glBindTexture(GL_TEXTURE_2D, render::depthTexture);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depths.data());
  glBindTexture(GL_TEXTURE_2D, 0);
  const int x = std::clamp(static_cast<int>(u * render::kShadowMapSize), 0, render::kShadowMapSize - 1);
  const int y = std::clamp(static_cast<int>(v * render::kShadowMapSize), 0, render::kShadowMapSize - 1);
  const float stored = depths[static_cast<size_t>(y) * render::kShadowMapSize + static_cast<size_t>(x)];
  return stored < atFloor.z / atFloor.w - 0.01f;
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
  float beforeHit = -1.0f;
  float afterHit = -1.0f;
  int hitFrame = -1;
  const PlayResult result = varn::play::play("win", platform, [&](const FrameRecord& f) {
    // The top middle of the picture, where the wall with the button comes into view.
    const glm::vec2 button(400.0f, 40.0f);
    if (f.frame == shotFrame - 1) {
      arrival = f.robotPosition;
      beforeHit = varn::play::meanBrightness(varn::play::backBuffer(), button, 40);
      varn::play::screenshot("win-button-room");
    }
    if (f.newEffectKind == 2) hitFrame = f.frame;
    if (hitFrame >= 0 && f.frame == hitFrame + 20) {
      afterHit = varn::play::meanBrightness(varn::play::backBuffer(), button, 40);
      varn::play::screenshot("win-explosion");
    }
  });
  expectCleanRun(result);
  // The robot got there by walking and jumping.
  EXPECT_NEAR(arrival.x, route::kShootingPosition.x, route::kShootingTolerance);
  EXPECT_NEAR(arrival.z, route::kShootingPosition.z, route::kShootingTolerance);
  EXPECT_NEAR(arrival.y, route::kShootingPosition.y, 0.2f);

  ASSERT_EQ(result.effectFrames(2).size(), 1u) << "one shot, one button hit";
  ASSERT_GT(hitFrame, shotFrame);
  // The game runs on for about 4 s after the hit.
  EXPECT_NEAR(result.frames.back().frame - hitFrame, 4 * kFramesPerSecond, 3);
  // The burst lights up the button.
  EXPECT_GT(afterHit, beforeHit + 10.0f);

  const auto lines = result.lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], "BOOOOOOOOM!");
  EXPECT_EQ(lines[lines.size() - 2], "You have destroyed the factory and stopped the evil robot invasion!");
  EXPECT_EQ(lines.back(), "Thanks a lot! You are a hero!");
  EXPECT_EQ(count(lines, "You lost!"), 0u);
}

TEST(Playthrough, Fall) {
  ScriptedPlatform platform;
  varn::test::appendLegs(platform, route::kStartToButtonRoom, route::kLegsToHallDoorway);
  varn::test::appendLegs(platform, route::kHallToOpenEdge);
  platform.idle(6 * kFramesPerSecond);
  platform.setAfterScript(ScriptedPlatform::AfterScript::ReleaseAll);
  const PlayResult result = varn::play::play("fall", platform, [](const FrameRecord& f) {
    if (f.robotLowestY < -2.0f && f.robotLowestY > -2.3f) varn::play::screenshot("fall");
  });
  expectCleanRun(result);
  const int fellAt = result.firstFrameWhere([](const FrameRecord& f) { return f.robotLowestY < route::kFallOutY; });
  ASSERT_GE(fellAt, 0) << "the robot fell out of the level";
  EXPECT_NEAR(result.frames.back().frame - fellAt, kFramesPerSecond, 2);
  const auto lines = result.lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "You lost!");
  EXPECT_EQ(lines.back(), "Please try again!");
  EXPECT_EQ(count(lines, "An enemy reached your position!"), 0u);
}

TEST(Playthrough, TogglesAndCameras) {
  ScriptedPlatform platform;
  // Away from the enemies first, into the button room.
  varn::test::appendRouteToButtonRoom(platform);
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
  platform.cursorAt(500, 300).idle(1);  // look right and a little down
  platform.idle(40);
  const int backFrame = platform.scriptLength();
  platform.hold({GLFW_KEY_C}, 1).idle(10);

  uint32_t consideredBefore = 0;
  uint32_t consideredInFree = 0;
  bool shadowInFree = false;
  glm::vec2 cursorAfter(-1.0f);
  std::vector<uint8_t> filled;
  float lineDifference = 0.0f;
  const PlayResult result = varn::play::play("toggles", platform, [&](const FrameRecord& f) {
    if (f.frame == start - 1) {
      consideredBefore = f.objectsConsidered;
      filled = varn::play::backBuffer();
      varn::play::screenshot("toggles-filled");
    }
    if (f.frame == start + 5) {
      // Wireframe: most of the picture turns to the black background between lines.
      const auto lines = varn::play::backBuffer();
      const glm::vec2 centre(400.0f, 300.0f);
      lineDifference = varn::play::darkShare(lines, centre, 200) - varn::play::darkShare(filled, centre, 200);
      varn::play::screenshot("toggles-wireframe");
    }
    if (f.frame == freeCameraFrame + 20) {
      consideredInFree = f.objectsConsidered;
      shadowInFree = robotCastsShadow();
      varn::play::screenshot("toggles-free-camera");
    }
    if (f.frame == backFrame + 2) {
      double x = 0;
      double y = 0;
      platform.cursorPosition(x, y);
      cursorAfter = {static_cast<float>(x), static_cast<float>(y)};
    }
  });
  expectCleanRun(result);
  const auto lines = result.lines();
  const size_t first = indexOf(lines, "Wireframe mode turned on");
  ASSERT_LT(first, lines.size());
  const std::vector<std::string> expected = {
      "Wireframe mode turned on",
      "Wireframe mode turned off",
      "Wireframe mode turned on",
      "Wireframe mode turned off",
      "Texture Sampling Quality: Nearest Neighbour",
      "MipMap Quality: OFF",
      "Viewfrustum Culling: OFF",
      "Transparency: OFF",
      "Texture Sampling Quality: Bilinear",
      "MipMap Sampling Quality: Nearest Neighbour",
      "Viewfrustum Culling: ON",
      "Transparency: ON",
      "MipMap Sampling Quality: Bilinear",
      "Ambient Light Strength decreased",
      "Ambient Light Strength increased",
  };
  EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(first), lines.end()), expected);
  EXPECT_GT(lineDifference, 0.2f) << "wireframe shows lines over an empty background";
  // The free camera hides the robot from both colour passes; it still casts its shadow.
  EXPECT_EQ(consideredBefore - consideredInFree, 2u);
  EXPECT_TRUE(shadowInFree);
  EXPECT_EQ(cursorAfter, glm::vec2(123.0f, 234.0f)) << "leaving the free camera puts the cursor back";
  EXPECT_GE(platform.cursorNormalCalls(), 1);
}

TEST(Playthrough, Soak) {
  // Minutes of game time with the trigger held: first at the enemies, then sweeping
  // round the start room's walls. GL objects and memory must level off.
  ScriptedPlatform platform;
  const int minutes = 2;
  platform.click(minutes * 60 * kFramesPerSecond);
  long memoryAtOneMinute = -1;
  long memoryAtEnd = -1;
  LiveObjects objectsAtOneMinute;
  LiveObjects objectsAtEnd;
  size_t mostSystems = 0;
  size_t mostBullets = 0;
  const PlayResult result = varn::play::play("soak", platform, [&](const FrameRecord& f) {
    mostSystems = std::max(mostSystems, f.particleSystems);
    mostBullets = std::max(mostBullets, f.bullets);
    glm::vec3 target;
    if (!varn::enemy1Destroyed || !varn::enemy2Destroyed) {
      const varn::scene::Enemy& enemy = !varn::enemy1Destroyed ? varn::enemy1 : varn::enemy2;
      target = (enemy.worldCornerA + enemy.worldCornerB) * 0.5f;
    } else {
      // One turn every 8 s round the robot.
      const float angle = static_cast<float>(f.frame) * 6.2831853f / (8.0f * kFramesPerSecond);
      target = f.robotPosition + glm::vec3(3.0f * std::sin(angle), 0.0f, -3.0f * std::cos(angle));
    }
    target.y = f.robotPosition.y + 1.5f;
    const glm::vec2 cursor = varn::play::cursorFor(target);
    platform.setCursorPosition(cursor.x, cursor.y);
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
  EXPECT_TRUE(result.frames.back().frame >= platform.scriptLength() - 1) << "the game lasted the whole soak";
  EXPECT_EQ(result.effectFrames(1).size(), 4u);
  // Bursts and bullets come and go: only a handful are ever alive together.
  EXPECT_GT(result.effectFrames(0).size(), 100u);
  EXPECT_LE(mostSystems, 10u);
  EXPECT_LE(mostBullets, 10u);
  EXPECT_LE(objectsAtEnd.buffers, objectsAtOneMinute.buffers + 2 * 10);
  EXPECT_LE(objectsAtEnd.vertexArrays, objectsAtOneMinute.vertexArrays + 2 * 10);
  EXPECT_LE(objectsAtEnd.programs, objectsAtOneMinute.programs + 2 * 10);
  EXPECT_LE(objectsAtEnd.queries, objectsAtOneMinute.queries + 10);
  ASSERT_GT(memoryAtOneMinute, 0);
  EXPECT_LT(memoryAtEnd - memoryAtOneMinute, 20 * 1024) << "resident memory grew by more than 20 MB";
}
