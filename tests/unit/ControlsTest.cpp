// The keyboard and mouse controls driven by scripted frames: the render toggles with
// their messages and cooldowns, aiming and turning, firing, walking, the camera switch
// and the free-camera look.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <glm/gtc/matrix_transform.hpp>
#include <string>
#include <vector>

#include "GlTest.h"
#include "GlmExpect.h"
#include "GlobalsReset.h"
#include "SceneLevels.h"
#include "app/ScriptedPlatform.h"
#include "app/Controls.h"
#include "app/GameRules.h"
#include "app/Globals.h"
#include "app/MainLoop.h"
#include "app/WorldUpdate.h"
#include "render/RenderState.h"

namespace varn::test {

using app::ScriptedPlatform;
namespace {

using app::FrameAim;

// 1/16 s is exact in binary, so a cooldown of c seconds lets a held key act again
// exactly ceil(c / kFrame) frames later, with no rounding in between.
constexpr double kFrame = 1.0 / 16.0;
constexpr int kWidth = 800;
constexpr int kHeight = 600;
const glm::vec3 kEye(0.0f, 5.0f, 3.0f);
const glm::vec3 kUp(0.0f, 1.0f, 0.0f);
const glm::vec3 kForward(0.0f, 0.0f, -1.0f);

int framesUntilRepeat(float cooldown) { return static_cast<int>(std::ceil(cooldown / kFrame)); }

// The frames in which a held function key acts. The keys are read before the frame time
// is taken, so a timer set in a frame is aged in that same frame; the first frame's time
// is zero, which puts the first repeat one frame later than the ones after it.
std::vector<int> toggleFrames(float cooldown, int actions) {
  std::vector<int> frames{0};
  for (int i = 1; i < actions; ++i) frames.push_back(1 + i * framesUntilRepeat(cooldown));
  return frames;
}

glm::mat4 turnedBy(float angle) { return glm::rotate(glm::mat4(1.0f), angle, glm::vec3(0.0f, -1.0f, 0.0f)); }

// The robot at the origin, standing on a wide floor, seen by the player camera from
// above and behind; no enemies in the way.
void buildScene() {
  resetGlobals();
  render::projection = glm::perspective(1.0471976f, static_cast<float>(kWidth) / kHeight, 0.1f, 40.0f);
  playerCamera = scene::Camera(glm::lookAt(kEye, glm::vec3(0.0f), kUp));
  playerCamera.position = kEye;
  playerCamera.direction = glm::normalize(-kEye);
  playerCamera.up = kUp;
  levelMap.floorBoxes.push_back({{-50.0f, 0.0f, 50.0f}, {50.0f, 0.0f, -50.0f}});
  character =
      scene::Character(boxModel({-0.5f, 0.0f, -0.5f}, {0.5f, 2.0f, 0.5f}), glm::mat4(1.0f), levelMap, &playerCamera);
  enemy1Destroyed = enemy2Destroyed = true;
  bulletModel = boxModel(glm::vec3(-0.1f), glm::vec3(0.1f));
}

// The main loop's steps up to the world update, in the loop's order, then the poll.
void playFrame(ScriptedPlatform& platform, FrameAim& aim) {
  app::applyRenderToggles(platform);
  app::takeFrameTime(platform.time());
  app::ageCooldowns();
  app::aimAndTurn(platform, aim);
  app::enemiesCloseIn();
  app::bulletHits();
  app::fireBullets(platform, aim);
  app::moveAndJump(platform);
  app::switchCamera(platform, aim);
  if (freeCameraMode) app::freeCameraLook(platform, aim);
  app::updateWorld(static_cast<double>(deltaTime));
  platform.pollEvents();
}

// Plays the whole script; returns the frames that printed anything, with what they printed.
std::vector<std::pair<int, std::string>> printedByFrame(
    ScriptedPlatform& platform, const std::function<void()>& afterFrame = [] {}) {
  FrameAim aim;
  std::vector<std::pair<int, std::string>> printed;
  while (!platform.scriptDone()) {
    const int frame = platform.frame();
    testing::internal::CaptureStdout();
    playFrame(platform, aim);
    const std::string text = testing::internal::GetCapturedStdout();
    if (text.empty()) continue;
    printed.emplace_back(frame, text);
    afterFrame();
  }
  return printed;
}

glm::vec2 cursorOf(ScriptedPlatform& platform) {
  double x = 0.0, y = 0.0;
  platform.cursorPosition(x, y);
  return glm::vec2(x, y);
}

class ControlsTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    buildScene();
  }
  void TearDown() override {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    resetGlobals();
    render::projection = glm::mat4(1.0f);
    GlTest::TearDown();
  }
  // One frame of the script's own aim step, from a fresh aim.
  FrameAim aimOnce(ScriptedPlatform& script) {
    FrameAim aim;
    app::aimAndTurn(script, aim);
    return aim;
  }
  ScriptedPlatform platform{kFrame};
};

// ---- Render toggles

TEST_F(ControlsTest, HeldF4F5F8AndF9StepTheirSettingsEveryHalfSecondInKeyOrder) {
  const std::vector<int> acting = toggleFrames(0.5f, 3);
  platform.hold({GLFW_KEY_F9, GLFW_KEY_F8, GLFW_KEY_F5, GLFW_KEY_F4}, acting.back() + 1);
  const auto printed = printedByFrame(platform);
  const std::vector<std::pair<int, std::string>> expected = {{acting[0],
                                                              "Texture Sampling Quality: Nearest Neighbour\n"
                                                              "MipMap Quality: OFF\n"
                                                              "Viewfrustum Culling: OFF\n"
                                                              "Transparency: OFF\n"},
                                                             {acting[1],
                                                              "Texture Sampling Quality: Bilinear\n"
                                                              "MipMap Sampling Quality: Nearest Neighbour\n"
                                                              "Viewfrustum Culling: ON\n"
                                                              "Transparency: ON\n"},
                                                             {acting[2],
                                                              "Texture Sampling Quality: Nearest Neighbour\n"
                                                              "MipMap Sampling Quality: Bilinear\n"
                                                              "Viewfrustum Culling: OFF\n"
                                                              "Transparency: OFF\n"}};
  EXPECT_EQ(printed, expected);
  EXPECT_EQ(mipmapMode, 2);
  EXPECT_EQ(textureFilterMode, 0);
  EXPECT_FALSE(frustumCullingOn);
  EXPECT_FALSE(transparencyOn);
}

TEST_F(ControlsTest, HeldF7ReachesExactlyOneAtTheSeventhStepAndHeldF6LeavesATinyRemainderAtTheThird) {
  const auto ambientSteps = [](int key, int steps, const std::string& message) {
    buildScene();
    ScriptedPlatform script(kFrame);
    script.hold({key}, toggleFrames(0.5f, steps).back() + 1);
    std::vector<float> values;
    for (const auto& [frame, text] : printedByFrame(script, [&] { values.push_back(ambientLight.x); }))
      EXPECT_EQ(text, message) << "frame " << frame;
    return values;
  };
  const std::vector<float> up = ambientSteps(GLFW_KEY_F7, 9, "Ambient Light Strength increased\n");
  ASSERT_EQ(up.size(), 9u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_NEAR(up[i], 0.3f + 0.1f * static_cast<float>(i + 1), 1e-6f) << "step " << i + 1;
    EXPECT_LT(up[i], 1.0f);
  }
  EXPECT_EQ(up[6], 1.0f);
  EXPECT_EQ(up[8], 1.0f);

  const std::vector<float> down = ambientSteps(GLFW_KEY_F6, 5, "Ambient Light Strength decreased\n");
  ASSERT_EQ(down.size(), 5u);
  EXPECT_NEAR(down[0], 0.2f, 1e-6f);
  EXPECT_NEAR(down[1], 0.1f, 1e-6f);
  // 0.3 - 0.1 - 0.1 - 0.1 through single-precision storage is not quite 0.
  EXPECT_GT(down[2], 0.0f);
  EXPECT_LT(down[2], 1e-6f);
  EXPECT_EQ(down[3], 0.0f);
  EXPECT_EQ(down[4], 0.0f);
}

TEST_F(ControlsTest, HeldF3AlternatesWireframeEveryPointFourSeconds) {
  platform.hold({GLFW_KEY_F3}, static_cast<int>(1.0 / kFrame));  // one second
  std::vector<std::pair<bool, GLint>> states;                    // wireframeOn and the polygon mode after each toggle
  const auto printed = printedByFrame(platform, [&] {
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    states.emplace_back(wireframeOn, modes[0]);
  });
  const std::vector<int> acting = toggleFrames(0.4f, 3);
  ASSERT_EQ(printed.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    const bool on = i % 2 == 0;
    EXPECT_EQ(printed[i].first, acting[i]);
    EXPECT_EQ(printed[i].second, on ? "Wireframe mode turned on\n" : "Wireframe mode turned off\n");
    EXPECT_EQ(states[i], std::make_pair(on, on ? GL_LINE : GL_FILL));
  }
}

// ---- Aiming and turning

TEST_F(ControlsTest, TheAimPointsAtTheCursorsPointOnTheShoulderPlaneAndTheTurnFollowsTheCursorsSide) {
  for (const glm::vec3& robot : {glm::vec3(0.0f), glm::vec3(2.0f, 0.0f, -1.0f)}) {
    character.modelMatrix = glm::translate(glm::mat4(1.0f), robot);
    for (const glm::vec2& cursor :
         {glm::vec2(400, 150), glm::vec2(600, 100), glm::vec2(150, 40), glm::vec2(700, 500), glm::vec2(400, 590)}) {
      SCOPED_TRACE(testing::Message() << "cursor " << cursor.x << ", " << cursor.y << " robot x " << robot.x);
      ScriptedPlatform script(kFrame);
      script.cursorAt(cursor.x, cursor.y).idle();
      const FrameAim aim = aimOnce(script);
      EXPECT_EQ(glm::vec2(aim.cursorX, aim.cursorY), cursor);
      expectNear(aim.rayOrigin, kEye, 1e-5f);
      const glm::vec3 shoulder = robot + glm::vec3(0.0f, 1.5f, 0.0f);
      expectNear(aim.shoulderPoint, shoulder, 1e-6f);
      // Worked out independently: the cursor unprojected onto the near plane, the ray from
      // the eye through it, met with the horizontal plane through the shoulder.
      const glm::vec3 nearPoint =
          glm::unProject(glm::vec3(cursor.x, kHeight - cursor.y, 0.0f), playerCamera.modelMatrix, render::projection,
                         glm::vec4(0.0f, 0.0f, kWidth, kHeight));
      const glm::vec3 ray = glm::normalize(nearPoint - kEye);
      expectNear(aimDirection, glm::normalize(kEye + (shoulder.y - kEye.y) / ray.y * ray - shoulder), 1e-4f);
      EXPECT_NEAR(glm::length(aimDirection), 1.0f, 1e-5f);
    }
  }
  // The robot right of the camera's line of sight: the aim points left (negative x) on both
  // sides of the centre column, and only the cursor decides the sign of the turn.
  character.modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(2.0f, 0.0f, 0.0f));
  for (double x : {400.0, 399.0}) {
    SCOPED_TRACE(x);
    ScriptedPlatform script(kFrame);
    script.cursorAt(x, 150).idle();
    aimOnce(script);
    ASSERT_LT(aimDirection.x, 0.0f);
    const float magnitude = std::acos(glm::dot(aimDirection, kForward));
    ASSERT_GT(magnitude, 0.1f);
    expectNear(character.rotationMatrix, turnedBy(x < kWidth / 2 ? -magnitude : magnitude), 1e-5f);
  }
}

TEST_F(ControlsTest, ARayAlongOrAwayFromTheShoulderPlaneKeepsThePreviousAim) {
  struct Case {
    const char* what;
    glm::vec3 eye;
    double cursorY;
  };
  const glm::vec3 previous = glm::normalize(glm::vec3(1.0f, 0.0f, -1.0f));
  for (const Case& c : {Case{"along the plane, eye above it", {0.0f, 3.0f, 5.0f}, 300.0},
                        Case{"upwards, eye above the plane", {0.0f, 3.0f, 5.0f}, 100.0},
                        Case{"downwards, eye below the plane", {0.0f, 0.5f, 5.0f}, 550.0}}) {
    SCOPED_TRACE(c.what);
    playerCamera.modelMatrix = glm::lookAt(c.eye, c.eye + kForward, kUp);
    aimDirection = previous;
    ScriptedPlatform script(kFrame);
    script.cursorAt(400, c.cursorY).idle();
    const FrameAim aim = aimOnce(script);
    if (c.cursorY == 300.0) {
      ASSERT_EQ(aim.rayDirection.y, 0.0f) << "the ray must lie in a horizontal plane";
    }
    EXPECT_EQ(aimDirection, previous);
    // The robot keeps facing the old aim, an eighth of a turn to the right.
    expectNear(character.rotationMatrix, turnedBy(std::acos(glm::dot(previous, kForward))), 1e-5f);
  }
}

TEST_F(ControlsTest, AnAimThatRoundingLeftJustLongerThanOneStillTurnsTheRobot) {
  // acos of a dot product just above 1 would be NaN and make the robot vanish.
  aimDirection = glm::vec3(0.0f, 0.0f, -1.0000001f);
  ASSERT_GT(glm::dot(aimDirection, kForward), 1.0f);
  playerCamera.modelMatrix = glm::lookAt(glm::vec3(0.0f, 3.0f, 5.0f), glm::vec3(0.0f, 3.0f, 0.0f), kUp);
  platform.cursorAt(400, 300).idle();
  aimOnce(platform);
  expectNear(character.rotationMatrix, glm::mat4(1.0f), 1e-6f);
}

// ---- Firing

TEST_F(ControlsTest, HoldingTheButtonFiresEveryHalfSecond) {
  const int repeat = framesUntilRepeat(0.5f);
  platform.cursorAt(600, 100).click(2 * repeat + 1);
  FrameAim aim;
  std::vector<int> fireFrames;
  while (!platform.scriptDone()) {
    const std::size_t before = bullets.size();
    const int frame = platform.frame();
    playFrame(platform, aim);
    if (bullets.size() > before) fireFrames.push_back(frame);
  }
  EXPECT_EQ(fireFrames, (std::vector<int>{0, repeat, 2 * repeat}));
}

TEST_F(ControlsTest, ABulletStartsOneUnitAheadOfTheShoulderAlongTheAimOrInTheFreeCameraAlongTheRay) {
  platform.cursorAt(600, 100).click();
  const FrameAim aim = aimOnce(platform);
  app::fireBullets(platform, aim);
  app::fireBullets(platform, aim);  // the cooldown holds the second shot back
  ASSERT_EQ(bullets.size(), 1u);
  EXPECT_EQ(bullets.front()->direction, aimDirection);
  EXPECT_NEAR(bullets.front()->direction.y, 0.0f, 1e-5f);  // level flight with the player camera
  expectNear(translationOf(bullets.front()->modelMatrix), aim.shoulderPoint + aimDirection, 1e-6f);
  EXPECT_EQ(glm::mat3(bullets.front()->modelMatrix), glm::mat3(1.0f));  // a pure translation
  EXPECT_EQ(shootCooldown, 0.5f);

  buildScene();
  freeCameraMode = true;
  activeCamera = &freeCamera;
  freeCamera.modelMatrix = glm::lookAt(glm::vec3(0.0f, 1.5f, 0.0f), glm::vec3(0.0f, 2.5f, -1.0f), kUp);
  ScriptedPlatform free(kFrame);
  free.cursorAt(500, 300).click();
  const FrameAim freeAim = aimOnce(free);
  app::fireBullets(free, freeAim);
  ASSERT_EQ(bullets.size(), 1u);
  EXPECT_EQ(bullets.front()->direction, freeAim.rayDirection);
  EXPECT_GT(bullets.front()->direction.y, 0.5f);  // climbing, as the camera looks up
  expectNear(translationOf(bullets.front()->modelMatrix), freeAim.shoulderPoint + freeAim.rayDirection, 1e-6f);
}

// ---- Walking and the free camera

TEST_F(ControlsTest, TheRobotKeepsWalkingWhenTheFreeCameraIsEnteredAndTheKeysNoLongerSteerOrLiftIt) {
  platform.hold({GLFW_KEY_W}, 4).hold({GLFW_KEY_W, GLFW_KEY_C}).hold({GLFW_KEY_S, GLFW_KEY_D, GLFW_KEY_SPACE}, 5);
  FrameAim aim;
  for (int i = 0; i < 5; ++i) playFrame(platform, aim);
  ASSERT_TRUE(freeCameraMode);
  const float stride = static_cast<float>(3.5 * kFrame);
  for (int i = 0; i < 5; ++i) {
    const glm::vec3 before = translationOf(character.modelMatrix);
    playFrame(platform, aim);
    expectNear(translationOf(character.modelMatrix) - before, {0.0f, 0.0f, -stride}, 1e-5f);
    EXPECT_FALSE(character.airborne) << "frame " << i << " in the free camera";
  }
}

TEST_F(ControlsTest, EnteringTheFreeCameraLooksAlongTheAimFromTheShoulder) {
  for (const glm::vec2& cursor : {glm::vec2(600, 100), glm::vec2(200, 100), glm::vec2(400, 100), glm::vec2(400, 550)}) {
    SCOPED_TRACE(testing::Message() << "cursor " << cursor.x << ", " << cursor.y);
    buildScene();
    ScriptedPlatform script(kFrame);
    script.cursorAt(cursor.x, cursor.y).hold({GLFW_KEY_C});
    script.setAfterScript(ScriptedPlatform::AfterScript::ReleaseAll);
    FrameAim aim;
    playFrame(script, aim);
    ASSERT_TRUE(freeCameraMode);
    EXPECT_EQ(activeCamera, &freeCamera);
    EXPECT_EQ(freeCameraPitch, 0.0f);
    EXPECT_EQ(freeCameraPosition, glm::vec3(0.0f, 1.5f, 0.0f));
    EXPECT_EQ(glm::vec2(savedCursorX, savedCursorY), cursor);
    // 3.14 for half a turn leaves the view within a few thousandths of the aim.
    expectNear(freeCamera.direction, aimDirection, 0.002f);
    EXPECT_NEAR(glm::dot(freeCamera.up, freeCamera.direction), 0.0f, 1e-5f);
    expectNear(glm::vec3(freeCamera.modelMatrix * glm::vec4(freeCameraPosition + freeCamera.direction, 1.0f)), kForward,
               1e-5f);
    EXPECT_EQ(cursorOf(script), glm::vec2(kWidth / 2, kHeight / 2)) << "the cursor waits at the centre";
  }
}

TEST_F(ControlsTest, TheFreeCameraTurnsWithTheMouseAndItsPitchStopsAt157AndMinusOne) {
  platform.cursorAt(400, 100).hold({GLFW_KEY_C});                  // enter, aiming straight ahead
  platform.cursorAt(300, 300).idle();                              // 100 pixels left
  for (int i = 0; i < 4; ++i) platform.cursorAt(400, 0).idle();    // far up
  for (int i = 0; i < 6; ++i) platform.cursorAt(400, 600).idle();  // far down
  platform.idle();
  FrameAim aim;
  playFrame(platform, aim);
  const float yaw = freeCameraYaw;
  playFrame(platform, aim);
  EXPECT_NEAR(freeCameraYaw, yaw + 0.3f, 1e-5f);
  EXPECT_LT(freeCamera.direction.x, 0.0f) << "mouse left turns left";

  std::vector<float> pitches, heights;  // heights of the viewing direction
  for (int i = 0; i < 10; ++i) {
    playFrame(platform, aim);
    pitches.push_back(freeCameraPitch);
    heights.push_back(freeCamera.direction.y);
  }
  EXPECT_NEAR(pitches[0], 0.9f, 1e-5f);
  EXPECT_EQ(pitches[1], 1.57f);
  EXPECT_EQ(pitches[3], 1.57f);
  EXPECT_GT(heights[3], 0.99f);
  EXPECT_NEAR(pitches[4], 1.57f - 0.9f, 1e-5f);
  EXPECT_EQ(pitches[6], -1.0f);
  EXPECT_EQ(pitches[9], -1.0f);
  EXPECT_NEAR(heights[9], std::sin(-1.0f), 1e-6f);
  // A frame without mouse movement leaves the view alone and the cursor at the centre.
  playFrame(platform, aim);
  EXPECT_EQ(freeCameraPitch, -1.0f);
  EXPECT_EQ(cursorOf(platform), glm::vec2(400.0f, 300.0f));
}

TEST_F(ControlsTest, HoldingCSwitchesEveryHalfSecondAndLeavingPutsTheCursorBack) {
  const int repeat = framesUntilRepeat(0.5f);
  platform.cursorAt(123, 456).hold({GLFW_KEY_C});
  for (int i = 1; i < repeat; ++i) platform.cursorAt(400 + 7 * i, 300 - 5 * i).hold({GLFW_KEY_C});
  platform.hold({GLFW_KEY_C});
  platform.setAfterScript(ScriptedPlatform::AfterScript::ReleaseAll);
  FrameAim aim;
  playFrame(platform, aim);
  ASSERT_TRUE(freeCameraMode);
  const glm::mat4 turned = character.rotationMatrix;
  for (int i = 1; i < repeat; ++i) {
    playFrame(platform, aim);
    EXPECT_TRUE(freeCameraMode) << "frame " << i;
  }
  EXPECT_EQ(character.rotationMatrix, turned) << "the cursor does not turn the robot in the free camera";
  EXPECT_EQ(platform.cursorNormalCalls(), 0);
  playFrame(platform, aim);  // frame `repeat`: C acts again
  EXPECT_FALSE(freeCameraMode);
  EXPECT_EQ(activeCamera, &playerCamera);
  EXPECT_EQ(platform.cursorNormalCalls(), 1);
  EXPECT_EQ(cursorOf(platform), glm::vec2(123.0f, 456.0f));
}

}  // namespace
}  // namespace varn::test
