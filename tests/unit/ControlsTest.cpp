// The keyboard and mouse controls driven by scripted frames: the render toggles with their messages
// and cooldowns, aiming and turning, firing, the camera switch and the free-camera look.
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
#include "app/Controls.h"
#include "app/Globals.h"
#include "app/MainLoop.h"
#include "app/ScriptedPlatform.h"
#include "app/WorldUpdate.h"
#include "render/RenderState.h"

namespace varn::test {

using app::ScriptedPlatform;
namespace {

using app::FrameAim;

// 1/16 s is exact in binary, so a cooldown of c seconds lets a held key act again
// exactly ceil(c / kFrame) frames later, with no rounding in between.
constexpr double kFrame = 1.0 / 16.0;
constexpr int kWidth = 800, kHeight = 600;
const glm::vec3 kEye(0.0f, 5.0f, 3.0f), kUp(0.0f, 1.0f, 0.0f), kForward(0.0f, 0.0f, -1.0f);

int framesUntilRepeat(float cooldown) { return static_cast<int>(std::ceil(cooldown / kFrame)); }

// The frames in which a held function key acts: a timer set in a frame is aged in that same frame, and the
// first frame's time is zero, which puts the first repeat one frame later than the ones after it.
std::vector<int> toggleFrames(float cooldown, int actions) {
  std::vector<int> frames{0};
  for (int i = 1; i < actions; ++i) frames.push_back(1 + i * framesUntilRepeat(cooldown));
  return frames;
}

glm::mat4 turnedBy(float angle) { return glm::rotate(glm::mat4(1.0f), angle, glm::vec3(0.0f, -1.0f, 0.0f)); }

// The robot at the origin on a wide floor, seen by the player camera from above and behind.
void buildScene() {
  resetGlobals();
  render::projection = glm::perspective(1.0471976f, static_cast<float>(kWidth) / kHeight, 0.1f, 40.0f);
  playerCamera = scene::Camera(glm::lookAt(kEye, glm::vec3(0.0f), kUp));
  levelMap.floorBoxes.push_back({{-50.0f, 0.0f, 50.0f}, {50.0f, 0.0f, -50.0f}});
  character =
      scene::Character(boxModel({-0.5f, 0.0f, -0.5f}, {0.5f, 2.0f, 0.5f}), glm::mat4(1.0f), levelMap, &playerCamera);
  bulletModel = boxModel(glm::vec3(-0.1f), glm::vec3(0.1f));
}

// The main loop's control steps and the world update, in the loop's order, then the poll.
void playFrame(ScriptedPlatform& platform, FrameAim& aim) {
  app::applyRenderToggles(platform);
  app::takeFrameTime(platform.time());
  app::ageCooldowns();
  app::aimAndTurn(platform, aim);
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
  ScriptedPlatform platform{kFrame};
};

TEST_F(ControlsTest, HeldF3TogglesWireframeEveryPointFourSecondsAndF4F5F8F9StepTheirSettingsEveryHalfSecondInKeyOrder) {
  const std::vector<int> wire = toggleFrames(0.4f, 3), others = toggleFrames(0.5f, 3);
  platform.hold({GLFW_KEY_F9, GLFW_KEY_F8, GLFW_KEY_F5, GLFW_KEY_F4, GLFW_KEY_F3}, others.back() + 1);
  std::vector<GLint> modes;  // the polygon mode after each frame that printed
  const auto printed = printedByFrame(platform, [&] {
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    modes.push_back(mode[0]);
  });
  const std::vector<std::pair<int, std::string>> expected = {
      {0,
       "Wireframe mode turned on\nTexture Sampling Quality: Nearest Neighbour\nMipMap Quality: OFF\n"
       "Viewfrustum Culling: OFF\nTransparency: OFF\n"},
      {wire[1], "Wireframe mode turned off\n"},
      {others[1],
       "Texture Sampling Quality: Bilinear\nMipMap Sampling Quality: Nearest Neighbour\nViewfrustum Culling: ON\n"
       "Transparency: ON\n"},
      {wire[2], "Wireframe mode turned on\n"},
      {others[2],
       "Texture Sampling Quality: Nearest Neighbour\nMipMap Sampling Quality: Bilinear\nViewfrustum Culling: OFF\n"
       "Transparency: OFF\n"}};
  EXPECT_EQ(printed, expected);
  EXPECT_EQ(modes, (std::vector<GLint>{GL_LINE, GL_FILL, GL_FILL, GL_LINE, GL_LINE}));
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
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(up[i], 0.3f + 0.1f * static_cast<float>(i + 1), 1e-6f) << "step " << i + 1;
  EXPECT_EQ(up[6], 1.0f);
  EXPECT_EQ(up[8], 1.0f);

  const std::vector<float> down = ambientSteps(GLFW_KEY_F6, 5, "Ambient Light Strength decreased\n");
  ASSERT_EQ(down.size(), 5u);
  // 0.3 - 0.1 - 0.1 - 0.1 through single-precision storage is not quite 0.
  EXPECT_GT(down[2], 0.0f);
  EXPECT_LT(down[2], 1e-6f);
  EXPECT_EQ(down[3], 0.0f);
  EXPECT_EQ(down[4], 0.0f);
}

TEST_F(ControlsTest, TheAimPointsAtTheCursorsPointOnTheShoulderPlaneAndTheTurnFollowsTheCursorsSide) {
  // With the robot right of the camera's line of sight, cursors on and just left of the centre
  // column both aim left (negative x): only the cursor's side decides the sign of the turn.
  for (const glm::vec3& robot : {glm::vec3(0.0f), glm::vec3(2.0f, 0.0f, -1.0f)}) {
    character.modelMatrix = glm::translate(glm::mat4(1.0f), robot);
    for (const glm::vec2& cursor :
         {glm::vec2(600, 100), glm::vec2(150, 40), glm::vec2(700, 500), glm::vec2(400, 150), glm::vec2(399, 150)}) {
      SCOPED_TRACE(testing::Message() << "cursor " << cursor.x << ", " << cursor.y << " robot x " << robot.x);
      ScriptedPlatform script(kFrame);
      script.cursorAt(cursor.x, cursor.y).idle();
      FrameAim aim;
      app::aimAndTurn(script, aim);
      // Worked out independently: the eye's ray through the cursor's near-plane point, met with the shoulder plane.
      const glm::vec3 shoulder = robot + glm::vec3(0.0f, 1.5f, 0.0f);
      const glm::vec3 nearPoint =
          glm::unProject(glm::vec3(cursor.x, kHeight - cursor.y, 0.0f), playerCamera.modelMatrix, render::projection,
                         glm::vec4(0.0f, 0.0f, kWidth, kHeight));
      const glm::vec3 ray = glm::normalize(nearPoint - kEye);
      expectNear(aimDirection, glm::normalize(kEye + (shoulder.y - kEye.y) / ray.y * ray - shoulder), 1e-4f);
      const float magnitude = std::acos(glm::dot(aimDirection, kForward));
      expectNear(character.rotationMatrix, turnedBy(cursor.x < kWidth / 2 ? -magnitude : magnitude), 1e-5f);
    }
  }
}

TEST_F(ControlsTest, ARayAlongOrAwayFromTheShoulderPlaneKeepsThePreviousAimAndTheTurnNeverGoesNaN) {
  struct Case {
    const char* what;
    glm::vec3 eye;
    double cursorY;
    glm::vec3 previous;
    float turn;  // the robot keeps facing the previous aim
  };
  const glm::vec3 eighthRight = glm::normalize(glm::vec3(1.0f, 0.0f, -1.0f)), above(0.0f, 3.0f, 5.0f);
  // Rounding can leave an aim just longer than one; acos of a dot product above 1 would be NaN.
  const glm::vec3 justLong(0.0f, 0.0f, -1.0000001f);
  ASSERT_GT(glm::dot(justLong, kForward), 1.0f);
  for (const Case& c : {Case{"along the plane, eye above it", above, 300.0, eighthRight, 0.7853982f},
                        Case{"upwards, eye above the plane", above, 100.0, eighthRight, 0.7853982f},
                        Case{"downwards, eye below the plane", {0.0f, 0.5f, 5.0f}, 550.0, eighthRight, 0.7853982f},
                        Case{"along the plane, aim just longer than one", above, 300.0, justLong, 0.0f}}) {
    SCOPED_TRACE(c.what);
    playerCamera.modelMatrix = glm::lookAt(c.eye, c.eye + kForward, kUp);
    aimDirection = c.previous;
    ScriptedPlatform script(kFrame);
    script.cursorAt(400, c.cursorY).idle();
    FrameAim aim;
    app::aimAndTurn(script, aim);
    ASSERT_TRUE(c.cursorY != 300.0 || aim.rayDirection.y == 0.0f) << "the ray must lie in a horizontal plane";
    EXPECT_EQ(aimDirection, c.previous);
    expectNear(character.rotationMatrix, turnedBy(c.turn), 1e-5f);
  }
}

TEST_F(ControlsTest, HoldingTheButtonFiresEveryHalfSecondOneUnitAheadOfTheShoulderAlongTheAim) {
  const int repeat = framesUntilRepeat(0.5f);
  platform.cursorAt(600, 100).click(2 * repeat + 1);
  FrameAim aim;
  std::vector<int> fireFrames;
  while (!platform.scriptDone()) {
    const std::size_t before = bullets.size();
    const int frame = platform.frame();
    playFrame(platform, aim);
    if (bullets.size() > before) fireFrames.push_back(frame);
    if (frame != 0) continue;
    // The first frame's time is zero, so the bullet is still where it was placed.
    ASSERT_EQ(bullets.size(), 1u);
    EXPECT_EQ(bullets.front()->direction, aimDirection);
    EXPECT_NEAR(aimDirection.y, 0.0f, 1e-5f) << "level flight with the player camera";
    expectNear(translationOf(bullets.front()->modelMatrix), aim.shoulderPoint + aimDirection, 1e-6f);
  }
  EXPECT_EQ(fireFrames, (std::vector<int>{0, repeat, 2 * repeat}));
}

TEST_F(ControlsTest, InTheFreeCameraTheMouseLooksWithinThePitchStopsTheRobotWalksOnAndCLeavesWithTheCursorBack) {
  platform.cursorAt(123, 456).hold({GLFW_KEY_W}, 4).hold({GLFW_KEY_W, GLFW_KEY_C});  // walk, then enter
  // In the free camera, with C still held: 100 pixels left, then far up three times and far down three times.
  const std::vector<glm::vec2> moves = {{300, 300}, {400, 0}, {400, 0}, {400, 0}, {400, 600}, {400, 600}, {400, 600}};
  ASSERT_EQ(static_cast<int>(moves.size()), framesUntilRepeat(0.5f) - 1) << "C acts again in the frame after";
  for (const glm::vec2& m : moves)
    platform.cursorAt(m.x, m.y).hold({GLFW_KEY_S, GLFW_KEY_D, GLFW_KEY_SPACE, GLFW_KEY_C});
  platform.hold({GLFW_KEY_C});
  FrameAim aim;
  for (int i = 0; i < 5; ++i) playFrame(platform, aim);
  ASSERT_TRUE(freeCameraMode);
  // 3.14 for half a turn leaves the view within a few thousandths of the aim.
  expectNear(freeCamera.direction, aimDirection, 0.002f);
  const glm::mat4 turned = character.rotationMatrix;
  const float yaw = freeCameraYaw, stride = static_cast<float>(3.5 * kFrame);
  std::vector<float> yaws, pitches;
  for (std::size_t i = 0; i < moves.size(); ++i) {
    SCOPED_TRACE(i);
    const glm::vec3 before = translationOf(character.modelMatrix);
    playFrame(platform, aim);
    expectNear(translationOf(character.modelMatrix) - before, {0.0f, 0.0f, -stride}, 1e-5f);  // walks on
    EXPECT_FALSE(character.airborne);
    EXPECT_TRUE(freeCameraMode);
    yaws.push_back(freeCameraYaw);
    pitches.push_back(freeCameraPitch);
  }
  EXPECT_NEAR(yaws[0], yaw + 0.3f, 1e-5f) << "mouse left turns left";
  // 300 pixels a frame are 0.9 radians: up to the stop and held there, then down to the other stop.
  EXPECT_NEAR(pitches[1], 0.9f, 1e-5f);
  EXPECT_EQ(pitches[2], 1.57f);
  EXPECT_EQ(pitches[3], 1.57f);
  EXPECT_NEAR(pitches[5], 1.57f - 1.8f, 1e-5f);
  EXPECT_EQ(pitches[6], -1.0f);
  EXPECT_EQ(character.rotationMatrix, turned) << "the cursor does not turn the robot in the free camera";
  EXPECT_EQ(platform.cursorNormalCalls(), 0);
  playFrame(platform, aim);
  EXPECT_FALSE(freeCameraMode);
  EXPECT_EQ(activeCamera, &playerCamera);
  EXPECT_EQ(platform.cursorNormalCalls(), 1);
  double x = 0.0, y = 0.0;
  platform.cursorPosition(x, y);
  EXPECT_EQ(glm::dvec2(x, y), glm::dvec2(123.0, 456.0));
}

}  // namespace
}  // namespace varn::test
