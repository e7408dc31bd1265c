// The keyboard and mouse controls driven by scripted frames: the render toggles with
// their messages and cooldowns, aiming and turning, firing, walking, the camera switch
// and the free-camera look.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <string>
#include <vector>

#include "GlTest.h"
#include "GlobalsReset.h"
#include "SceneLevels.h"
#include "ScriptedPlatform.h"
#include "app/Controls.h"
#include "app/GameRules.h"
#include "app/Globals.h"
#include "app/MainLoop.h"
#include "app/WorldUpdate.h"
#include "render/RenderState.h"

namespace varn::test {
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
const glm::vec3 kRotationAxis(0.0f, -1.0f, 0.0f);

int framesUntilRepeat(float cooldown) { return static_cast<int>(std::ceil(cooldown / kFrame)); }

// The frames in which a held function key acts. The keys are read before the frame time
// is taken, so a timer set in a frame is aged in that same frame; the first frame's time
// is zero, which puts the first repeat one frame later than the ones after it.
std::vector<int> toggleFrames(float cooldown, int actions) {
  std::vector<int> frames{0};
  for (int i = 1; i < actions; ++i) frames.push_back(1 + i * framesUntilRepeat(cooldown));
  return frames;
}

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void expectNear(const glm::mat4& actual, const glm::mat4& expected, float tolerance) {
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) EXPECT_NEAR(actual[c][r], expected[c][r], tolerance) << "at [" << c << "][" << r << "]";
  }
}

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
  enemy1Destroyed = true;
  enemy2Destroyed = true;
  bulletModel = boxModel(glm::vec3(-0.1f), glm::vec3(0.1f));
}

void clearScene() {
  resetGlobals();
  render::projection = glm::mat4(1.0f);
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

// Plays the whole script; returns what each frame printed.
std::vector<std::string> playScript(ScriptedPlatform& platform) {
  FrameAim aim;
  std::vector<std::string> printed;
  while (!platform.scriptDone()) {
    testing::internal::CaptureStdout();
    playFrame(platform, aim);
    printed.push_back(testing::internal::GetCapturedStdout());
  }
  return printed;
}

// The frames that printed anything, with what they printed.
std::vector<std::pair<int, std::string>> linesByFrame(const std::vector<std::string>& printed) {
  std::vector<std::pair<int, std::string>> result;
  for (std::size_t i = 0; i < printed.size(); ++i) {
    if (!printed[i].empty()) result.emplace_back(static_cast<int>(i), printed[i]);
  }
  return result;
}

// The aim worked out independently: the cursor unprojected onto the near plane, the
// ray from the eye through it, met with the horizontal plane through the shoulder.
glm::vec3 expectedAim(double x, double y, const glm::mat4& view, const glm::vec3& robot) {
  const glm::vec3 nearPoint =
      glm::unProject(glm::vec3(x, kHeight - y, 0.0), view, render::projection, glm::vec4(0.0f, 0.0f, kWidth, kHeight));
  const glm::vec3 eye(glm::inverse(view)[3]);
  const glm::vec3 direction = glm::normalize(nearPoint - eye);
  const glm::vec3 shoulder = robot + glm::vec3(0.0f, 1.5f, 0.0f);
  const float t = (shoulder.y - eye.y) / direction.y;
  return glm::normalize(eye + t * direction - shoulder);
}

glm::mat4 turnedBy(float angle) { return glm::rotate(glm::mat4(1.0f), angle, kRotationAxis); }

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override { buildScene(); }
  void TearDown() override { clearScene(); }
  ScriptedPlatform platform{kFrame};
};

// ---- Render toggles

TEST_F(ControlsTest, HeldF5StepsTheMipmapModeEveryHalfSecond) {
  const std::vector<int> acting = toggleFrames(0.5f, 3);
  platform.hold({GLFW_KEY_F5}, acting.back() + 1);
  const auto lines = linesByFrame(playScript(platform));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], std::make_pair(acting[0], std::string("MipMap Quality: OFF\n")));
  EXPECT_EQ(lines[1], std::make_pair(acting[1], std::string("MipMap Sampling Quality: Nearest Neighbour\n")));
  EXPECT_EQ(lines[2], std::make_pair(acting[2], std::string("MipMap Sampling Quality: Bilinear\n")));
  EXPECT_EQ(mipmapMode, 2);
}

TEST_F(ControlsTest, F4F8AndF9ReportTheirNewSettingsInKeyOrder) {
  const std::vector<int> acting = toggleFrames(0.5f, 2);
  platform.hold({GLFW_KEY_F9, GLFW_KEY_F8, GLFW_KEY_F4}, acting.back() + 1);
  const auto lines = linesByFrame(playScript(platform));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].second,
            "Texture Sampling Quality: Nearest Neighbour\nViewfrustum Culling: OFF\nTransparency: OFF\n");
  EXPECT_EQ(lines[1].first, acting[1]);
  EXPECT_EQ(lines[1].second, "Texture Sampling Quality: Bilinear\nViewfrustum Culling: ON\nTransparency: ON\n");
  EXPECT_EQ(textureFilterMode, 1);
  EXPECT_TRUE(frustumCullingOn);
  EXPECT_TRUE(transparencyOn);
}

// The ambient strength after each step of a held key, checking every step's message.
std::vector<float> ambientSteps(ScriptedPlatform& platform, const std::string& message) {
  FrameAim aim;
  std::vector<float> steps;
  while (!platform.scriptDone()) {
    testing::internal::CaptureStdout();
    playFrame(platform, aim);
    const std::string printed = testing::internal::GetCapturedStdout();
    if (printed.empty()) continue;
    EXPECT_EQ(printed, message);
    steps.push_back(ambientLight.x);
  }
  return steps;
}

TEST_F(ControlsTest, HeldF7ReachesExactlyOneAtTheSeventhStepAndStays) {
  platform.hold({GLFW_KEY_F7}, toggleFrames(0.5f, 9).back() + 1);
  const std::vector<float> steps = ambientSteps(platform, "Ambient Light Strength increased\n");
  ASSERT_EQ(steps.size(), 9u);
  float previous = 0.3f;
  for (int i = 0; i < 6; ++i) {
    EXPECT_NEAR(steps[i], previous + 0.1f, 1e-6f) << "step " << i + 1;
    EXPECT_LT(steps[i], 1.0f);
    previous = steps[i];
  }
  EXPECT_EQ(steps[6], 1.0f);
  EXPECT_EQ(steps[7], 1.0f);
  EXPECT_EQ(steps[8], 1.0f);
}

TEST_F(ControlsTest, HeldF6LeavesATinyRemainderAtTheThirdStepAndZeroAtTheFourth) {
  platform.hold({GLFW_KEY_F6}, toggleFrames(0.5f, 5).back() + 1);
  const std::vector<float> steps = ambientSteps(platform, "Ambient Light Strength decreased\n");
  ASSERT_EQ(steps.size(), 5u);
  EXPECT_NEAR(steps[0], 0.2f, 1e-6f);
  EXPECT_NEAR(steps[1], 0.1f, 1e-6f);
  // 0.3 - 0.1 - 0.1 - 0.1 through single-precision storage is not quite 0.
  EXPECT_GT(steps[2], 0.0f);
  EXPECT_LT(steps[2], 1e-6f);
  EXPECT_EQ(steps[3], 0.0f);
  EXPECT_EQ(steps[4], 0.0f);
}

TEST_F(ControlsTest, WithF6AndF7HeldTogetherF6Wins) {
  platform.hold({GLFW_KEY_F6, GLFW_KEY_F7}, toggleFrames(0.5f, 2).back() + 1);
  const std::vector<float> steps = ambientSteps(platform, "Ambient Light Strength decreased\n");
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_NEAR(steps[1], 0.1f, 1e-6f);
}

class ControlsGlTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    buildScene();
  }
  void TearDown() override {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    clearScene();
    GlTest::TearDown();
  }
  ScriptedPlatform platform{kFrame};
};

GLint polygonMode() {
  GLint modes[2] = {0, 0};
  glGetIntegerv(GL_POLYGON_MODE, modes);
  return modes[0];
}

TEST_F(ControlsGlTest, HeldF3AlternatesWireframeEveryPointFourSeconds) {
  platform.hold({GLFW_KEY_F3}, static_cast<int>(1.0 / kFrame));  // one second
  FrameAim aim;
  std::vector<int> toggled;
  while (!platform.scriptDone()) {
    const int frame = platform.frame();
    testing::internal::CaptureStdout();
    playFrame(platform, aim);
    const std::string printed = testing::internal::GetCapturedStdout();
    if (printed.empty()) continue;
    const bool on = toggled.size() % 2 == 0;
    toggled.push_back(frame);
    EXPECT_EQ(printed, on ? "Wireframe mode turned on\n" : "Wireframe mode turned off\n");
    EXPECT_EQ(wireframeOn, on);
    EXPECT_EQ(polygonMode(), on ? GL_LINE : GL_FILL);
  }
  EXPECT_EQ(toggled, toggleFrames(0.4f, 3));
}

// ---- Aiming and turning

TEST_F(ControlsTest, TheAimPointsAtTheCursorsPointOnTheShoulderPlane) {
  const glm::vec3 robots[] = {glm::vec3(0.0f), glm::vec3(2.0f, 0.0f, -1.0f)};
  const double cursors[][2] = {{400, 150}, {600, 100}, {150, 40}, {700, 500}, {400, 590}};
  for (const glm::vec3& robot : robots) {
    character.modelMatrix = glm::translate(glm::mat4(1.0f), robot);
    for (const auto& cursor : cursors) {
      SCOPED_TRACE(testing::Message() << "cursor " << cursor[0] << ", " << cursor[1] << " robot x " << robot.x);
      ScriptedPlatform script(kFrame);
      script.cursorAt(cursor[0], cursor[1]).idle();
      FrameAim aim;
      app::aimAndTurn(script, aim);
      EXPECT_EQ(aim.cursorX, cursor[0]);
      EXPECT_EQ(aim.cursorY, cursor[1]);
      expectNear(aim.rayOrigin, kEye, 1e-5f);
      expectNear(aim.shoulderPoint, robot + glm::vec3(0.0f, 1.5f, 0.0f), 1e-6f);
      expectNear(aimDirection, expectedAim(cursor[0], cursor[1], playerCamera.modelMatrix, robot), 1e-4f);
      EXPECT_NEAR(glm::length(aimDirection), 1.0f, 1e-5f);
    }
  }
}

TEST_F(ControlsTest, TheTurnsSignFollowsTheCursorsSideOfTheCentreColumn) {
  // The robot stands right of the camera's line of sight, so the aim points left
  // (negative x) on both sides of the centre column; only the cursor decides the sign.
  character.modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(2.0f, 0.0f, 0.0f));
  for (double x : {400.0, 399.0}) {
    SCOPED_TRACE(x);
    ScriptedPlatform script(kFrame);
    script.cursorAt(x, 150).idle();
    FrameAim aim;
    app::aimAndTurn(script, aim);
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
  const Case cases[] = {
      {"along the plane, eye above it", {0.0f, 3.0f, 5.0f}, 300.0},
      {"upwards, eye above the plane", {0.0f, 3.0f, 5.0f}, 100.0},
      {"downwards, eye below the plane", {0.0f, 0.5f, 5.0f}, 550.0},
  };
  const glm::vec3 previous = glm::normalize(glm::vec3(1.0f, 0.0f, -1.0f));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    playerCamera.modelMatrix = glm::lookAt(c.eye, c.eye + kForward, kUp);
    aimDirection = previous;
    ScriptedPlatform script(kFrame);
    script.cursorAt(400, c.cursorY).idle();
    FrameAim aim;
    app::aimAndTurn(script, aim);
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
  FrameAim aim;
  app::aimAndTurn(platform, aim);
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

TEST_F(ControlsTest, ABulletStartsOneUnitAheadOfTheShoulderAlongTheAim) {
  platform.cursorAt(600, 100).click();
  FrameAim aim;
  app::aimAndTurn(platform, aim);
  app::fireBullets(platform, aim);
  app::fireBullets(platform, aim);  // the cooldown holds the second shot back
  ASSERT_EQ(bullets.size(), 1u);
  const scene::Bullet& bullet = *bullets.front();
  EXPECT_EQ(bullet.direction, aimDirection);
  EXPECT_NEAR(bullet.direction.y, 0.0f, 1e-5f);  // level flight with the player camera
  expectNear(glm::vec3(bullet.modelMatrix[3]), aim.shoulderPoint + aimDirection, 1e-6f);
  EXPECT_EQ(glm::mat3(bullet.modelMatrix), glm::mat3(1.0f));  // a pure translation
  EXPECT_EQ(shootCooldown, 0.5f);
}

TEST_F(ControlsTest, InTheFreeCameraBulletsFlyAlongTheCursorRay) {
  freeCameraMode = true;
  activeCamera = &freeCamera;
  freeCamera.modelMatrix = glm::lookAt(glm::vec3(0.0f, 1.5f, 0.0f), glm::vec3(0.0f, 2.5f, -1.0f), kUp);
  platform.cursorAt(500, 300).click();
  FrameAim aim;
  app::aimAndTurn(platform, aim);
  app::fireBullets(platform, aim);
  ASSERT_EQ(bullets.size(), 1u);
  EXPECT_EQ(bullets.front()->direction, aim.rayDirection);
  EXPECT_GT(bullets.front()->direction.y, 0.5f);  // climbing, as the camera looks up
  expectNear(glm::vec3(bullets.front()->modelMatrix[3]), aim.shoulderPoint + aim.rayDirection, 1e-6f);
}

// ---- Walking and jumping

TEST_F(ControlsTest, TheKeysWalkAndJumpTheRobotOnlyWithThePlayerCamera) {
  platform.hold({GLFW_KEY_W, GLFW_KEY_D}, 3).hold({GLFW_KEY_SPACE});
  FrameAim aim;
  playFrame(platform, aim);  // the first frame has no frame time yet
  playFrame(platform, aim);
  const glm::vec3 step = character.moveStep;
  EXPECT_GT(step.x, 0.0f);
  EXPECT_LT(step.z, 0.0f);
  playFrame(platform, aim);
  EXPECT_FALSE(character.airborne);
  playFrame(platform, aim);
  EXPECT_TRUE(character.airborne);
  EXPECT_GT(character.verticalSpeed, 0.0f);

  // In the free camera the same keys neither steer nor stop nor lift the robot.
  buildScene();
  freeCameraMode = true;
  activeCamera = &freeCamera;
  character.moveStep = glm::vec3(0.25f, 0.0f, 0.0f);
  ScriptedPlatform free(kFrame);
  free.hold({GLFW_KEY_W, GLFW_KEY_SPACE}, 2);
  playFrame(free, aim);
  playFrame(free, aim);
  EXPECT_EQ(character.moveStep, glm::vec3(0.25f, 0.0f, 0.0f));
  EXPECT_FALSE(character.airborne);
}

TEST_F(ControlsTest, TheRobotKeepsWalkingWhenTheFreeCameraIsEntered) {
  platform.hold({GLFW_KEY_W}, 4).hold({GLFW_KEY_W, GLFW_KEY_C}).hold({GLFW_KEY_S}, 5);
  FrameAim aim;
  for (int i = 0; i < 5; ++i) playFrame(platform, aim);
  ASSERT_TRUE(freeCameraMode);
  const float stride = static_cast<float>(3.5 * kFrame);
  float z = character.modelMatrix[3].z;
  for (int i = 0; i < 5; ++i) {
    playFrame(platform, aim);
    EXPECT_NEAR(character.modelMatrix[3].z, z - stride, 1e-5f) << "frame " << i << " in the free camera";
    z = character.modelMatrix[3].z;
  }
}

// ---- Camera switch and free-camera look

TEST_F(ControlsTest, EnteringTheFreeCameraLooksAlongTheAimFromTheShoulder) {
  const double cursors[][2] = {{600, 100}, {200, 100}, {400, 100}, {400, 550}};
  for (const auto& cursor : cursors) {
    SCOPED_TRACE(testing::Message() << "cursor " << cursor[0] << ", " << cursor[1]);
    buildScene();
    ScriptedPlatform script(kFrame);
    script.cursorAt(cursor[0], cursor[1]).hold({GLFW_KEY_C});
    script.setAfterScript(ScriptedPlatform::AfterScript::ReleaseAll);
    FrameAim aim;
    playFrame(script, aim);

    ASSERT_TRUE(freeCameraMode);
    EXPECT_EQ(activeCamera, &freeCamera);
    EXPECT_EQ(freeCameraPitch, 0.0f);
    EXPECT_EQ(freeCameraPosition, glm::vec3(0.0f, 1.5f, 0.0f));
    EXPECT_EQ(savedCursorX, static_cast<float>(cursor[0]));
    EXPECT_EQ(savedCursorY, static_cast<float>(cursor[1]));
    // 3.14 for half a turn leaves the view within a few thousandths of the aim.
    expectNear(freeCamera.direction, aimDirection, 0.002f);
    EXPECT_NEAR(glm::dot(freeCamera.up, freeCamera.direction), 0.0f, 1e-5f);
    const glm::vec3 ahead(freeCamera.modelMatrix * glm::vec4(freeCameraPosition + freeCamera.direction, 1.0f));
    expectNear(ahead, kForward, 1e-5f);
    // The cursor waits at the centre for the next frame's look.
    double x = 0.0;
    double y = 0.0;
    script.cursorPosition(x, y);
    EXPECT_EQ(x, kWidth / 2);
    EXPECT_EQ(y, kHeight / 2);
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

  std::vector<float> pitches;
  std::vector<float> heights;  // of the viewing direction
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
  double x = 0.0;
  double y = 0.0;
  platform.cursorPosition(x, y);
  EXPECT_EQ(x, 400.0);
  EXPECT_EQ(y, 300.0);
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
  double x = 0.0;
  double y = 0.0;
  platform.cursorPosition(x, y);
  EXPECT_EQ(x, 123.0);
  EXPECT_EQ(y, 456.0);
}

}  // namespace
}  // namespace varn::test
