// The controls on hand-built scenes: aiming, turning and firing, and the free-camera look. Held keys through the real
// loop: the play-throughs.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <string>
#include <vector>

#include "GlTest.h"
#include "GlmExpect.h"
#include "SceneLevels.h"
#include "app/Controls.h"
#include "app/Globals.h"
#include "app/ScriptedPlatform.h"
#include "render/RenderState.h"

namespace varn::test {

using app::ScriptedPlatform;
namespace {

using app::FrameAim;

constexpr double kFrame = 1.0 / 16.0;
constexpr int kWidth = 800, kHeight = 600;
const glm::vec3 kEye(0.0f, 5.0f, 3.0f), kUp(0.0f, 1.0f, 0.0f), kForward(0.0f, 0.0f, -1.0f);

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

class ControlsTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    buildScene();
  }
  void TearDown() override {
    resetGlobals();
    render::projection = glm::mat4(1.0f);
    GlTest::TearDown();
  }
};

TEST_F(ControlsTest, TheAimPointsAtTheCursorsPointOnTheShoulderPlaneTheTurnFollowsTheCursorsSideAndShotsFollowTheAim) {
  // With the robot right of the camera's line of sight, cursors on and just left of the centre
  // column both aim left (negative x): only the cursor's side decides the sign of the turn.
  for (const glm::vec3& robot : {glm::vec3(0.0f), glm::vec3(2.0f, 0.0f, -1.0f)}) {
    character.modelMatrix = glm::translate(glm::mat4(1.0f), robot);
    for (const glm::vec2& cursor :
         {glm::vec2(600, 100), glm::vec2(150, 40), glm::vec2(700, 500), glm::vec2(400, 150), glm::vec2(399, 150)}) {
      SCOPED_TRACE(testing::Message() << "cursor " << cursor.x << ", " << cursor.y << " robot x " << robot.x);
      ScriptedPlatform script(kFrame);
      script.cursorAt(cursor.x, cursor.y).click();
      FrameAim aim;
      app::aimAndTurn(script, aim);
      shootCooldown = 0.0f;
      app::fireBullets(script, aim);  // level along the aim, one unit ahead of the shoulder
      EXPECT_EQ(bullets.back()->direction, aimDirection);
      expectNear(translationOf(bullets.back()->modelMatrix), aim.shoulderPoint + aimDirection, 1e-6f);
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

TEST_F(ControlsTest, InTheFreeCameraTheMouseLooksWithinThePitchStopsAndTheRobotWalksOnUnturned) {
  const auto controls = [](ScriptedPlatform& script, FrameAim& aim) {
    app::aimAndTurn(script, aim);
    app::moveAndJump(script);
    app::switchCamera(script, aim);
    if (freeCameraMode) app::freeCameraLook(script, aim);
    script.pollEvents();
  };
  deltaTime = static_cast<float>(kFrame);
  ScriptedPlatform script(kFrame);
  script.cursorAt(123, 456).hold({GLFW_KEY_W, GLFW_KEY_C});  // walk, and enter
  // With S, D and Space held: 100 pixels left, then far up three times and far down three times.
  const std::vector<glm::vec2> moves = {{300, 300}, {400, 0}, {400, 0}, {400, 0}, {400, 600}, {400, 600}, {400, 600}};
  for (const glm::vec2& m : moves) script.cursorAt(m.x, m.y).hold({GLFW_KEY_S, GLFW_KEY_D, GLFW_KEY_SPACE});
  FrameAim aim;
  controls(script, aim);
  ASSERT_TRUE(freeCameraMode);
  // 3.14 for half a turn leaves the view within a few thousandths of the aim.
  expectNear(freeCamera.direction, aimDirection, 0.002f);
  const glm::mat4 turned = character.rotationMatrix;
  const float yaw = freeCameraYaw, stride = static_cast<float>(3.5 * kFrame);
  std::vector<float> pitches;
  for (std::size_t i = 0; i < moves.size(); ++i) {
    const glm::vec3 before = translationOf(character.modelMatrix);
    controls(script, aim);
    character.update(kFrame);
    expectNear(translationOf(character.modelMatrix) - before, {0.0f, 0.0f, -stride}, 1e-5f);  // walks on
    EXPECT_FALSE(character.airborne) << i;
    pitches.push_back(freeCameraPitch);
    if (i == 0) {
      EXPECT_NEAR(freeCameraYaw, yaw + 0.3f, 1e-5f) << "mouse left turns left";
    }
  }
  // 300 pixels a frame are 0.9 radians: up to the stop and held there, then down to the other stop.
  EXPECT_NEAR(pitches[1], 0.9f, 1e-5f);
  EXPECT_EQ(pitches[2], 1.57f);
  EXPECT_EQ(pitches[3], 1.57f);
  EXPECT_NEAR(pitches[5], 1.57f - 1.8f, 1e-5f);
  EXPECT_EQ(pitches[6], -1.0f);
  EXPECT_EQ(character.rotationMatrix, turned) << "the cursor does not turn the robot in the free camera";
}

}  // namespace
}  // namespace varn::test
