// The player's robot against small hand-made levels: falling, landing, jumping,
// walking into walls and blocks, turning, and the player camera it carries.
#include <gtest/gtest.h>

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

#include "GlTest.h"
#include "GlmExpect.h"
#include "SceneLevels.h"
#include "render/PlayerView.h"
#include "scene/Camera.h"
#include "scene/Character.h"
#include "scene/Map.h"

namespace varn::test {
namespace {

using scene::Character;

constexpr double kFrame60 = 1.0 / 60.0;
constexpr double kFrameCap = 0.1;  // the longest frame the main loop hands out
constexpr float kFloorY = -1.0f;
const glm::vec3 kEyeStart = render::kPlayerEye;

glm::vec3 eyeOf(const scene::Camera& camera) { return translationOf(glm::inverse(camera.modelMatrix)); }

class CharacterTest : public GlTest {
 protected:
  // A 2 x 8 x 2 model at scale 0.25: a 0.5 x 2 x 0.5 robot standing on the origin, over a wide
  // floor at y = -1, with the extra pieces given; the camera starts anew.
  Character robotIn(std::vector<assets::Mesh> level) {
    level.push_back(floorQuad(-20.0f, 20.0f, kFloorY, -20.0f, 20.0f));
    const scene::Map map(levelModel(std::move(level)), glm::mat4(1.0f));
    camera = scene::Camera(render::playerStartView());
    Character robot(boxModel({-1.0f, 0.0f, -1.0f}, {1.0f, 8.0f, 1.0f}), glm::scale(glm::mat4(1.0f), glm::vec3(0.25f)),
                    map, &camera);
    robot.updateBoundingBox();
    return robot;
  }
  static void settle(Character& robot, double dt) {
    for (int i = 0; i < 200; ++i) robot.update(dt);
  }

  scene::Camera camera;
};

TEST_F(CharacterTest, FallsThroughWallsSettlesJustAboveAFloorOrBlockStaysThereAndJumpsToTheHeightOfItsFrameTime) {
  // Launch at 5 units/s against 10 units/s^2, the speed lowered before each step:
  // at 1/60 s the steps are (5 - k/6)/60 for k = 1..29, summing to 72.5/60;
  // at 0.1 s they are 0.4, 0.3, 0.2 and 0.1.
  const struct {
    double dt, height, tolerance;
    bool onBlock;  // else on the floor, through a wall right across the fall
  } cases[] = {{kFrame60, 72.5 / 60.0, 1e-3, false}, {kFrameCap, 1.0, 1e-4, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dt);
    std::vector<assets::Mesh> level;
    level.push_back(c.onBlock ? blockMesh({-1.0f, -2.0f, -1.0f}, {1.0f, -0.5f, 1.0f})
                              : wallQuadX(0.0f, -1.0f, 1.0f, -1.0f, 1.0f));
    Character robot = robotIn(std::move(level));
    robot.update(c.dt);
    EXPECT_TRUE(robot.airborne) << "dropping towards the ground is flight";
    settle(robot, c.dt);
    // Steps that would touch the ground are refused: it rests within one standing step (10 dt^2) above it.
    const float ground = robot.worldCornerA.y, surface = c.onBlock ? -0.5f : kFloorY;
    EXPECT_GT(ground - surface, 0.0f);
    EXPECT_LE(ground - surface, 10.0 * c.dt * c.dt + 1e-6);
    for (int frame = 0; frame < 30; ++frame) {
      robot.update(c.dt);
      EXPECT_FALSE(robot.airborne);
      EXPECT_EQ(robot.worldCornerA.y, ground);
    }
    // One jump with Space held throughout.
    float peak = ground;
    robot.jump();
    for (int frame = 0; robot.airborne && frame < 1000; ++frame) {
      robot.update(c.dt);
      peak = std::max(peak, robot.worldCornerA.y);
      if (robot.airborne) robot.jump();  // already in the air: must not push again
    }
    EXPECT_FALSE(robot.airborne) << "the robot came back down";
    EXPECT_NEAR(peak - ground, c.height, c.tolerance);
  }
}

TEST_F(CharacterTest, StepIntoWallOrBlockIsRefusedWholeAndTheEyeMovesByTheAcceptedStepsOnly) {
  struct Walk {
    const char* name;
    bool forward, left, right;
    float obstacleX;  // the face of the wall or block in the robot's way
  };
  for (const Walk& walk :
       {Walk{"diagonally into the wall", true, false, true, 1.0f}, Walk{"into the block", false, true, false, -2.1f}}) {
    SCOPED_TRACE(walk.name);
    std::vector<assets::Mesh> level;
    level.push_back(wallQuadX(1.0f, -1.0f, 3.0f, -3.0f, 3.0f));
    level.push_back(blockMesh({-3.0f, -1.0f, -1.0f}, {-2.1f, 1.0f, 1.0f}));
    Character robot = robotIn(std::move(level));
    const glm::vec3 robotStart = translationOf(robot.translationMatrix);
    const auto step = [&] {
      robot.update(kFrameCap);
      expectNear(eyeOf(camera) - kEyeStart, translationOf(robot.translationMatrix) - robotStart, 1e-5f);
    };
    for (int frame = 0; frame < 30; ++frame) step();  // fall and land
    robot.move(static_cast<float>(kFrameCap), walk.forward, false, walk.left, walk.right);
    int refused = 0;
    for (int frame = 0; frame < 20; ++frame) {
      const glm::vec3 before = translationOf(robot.translationMatrix);
      step();
      const glm::vec3 moved = translationOf(robot.translationMatrix) - before;
      if (moved == glm::vec3(0.0f)) {
        ++refused;
      } else {
        // No sliding along the obstacle: a step is either taken in full or not at all.
        EXPECT_EQ(refused, 0) << "a refused step must stay refused";
        expectNear(moved, robot.moveStep, 1e-6f);
      }
    }
    EXPECT_GT(refused, 0);
    // Stopped short of the face, by less than one step.
    const float clearance = walk.right ? walk.obstacleX - robot.worldCornerB.x : robot.worldCornerA.x - walk.obstacleX;
    EXPECT_GT(clearance, 0.0f);
    EXPECT_LT(clearance, std::abs(robot.moveStep.x));
  }
}

TEST_F(CharacterTest, KeysWalkInWorldAxesAtOneSpeedOverFloorsWhateverTheAimThatTurnsOnlyTheModel) {
  const float step = 3.5f * static_cast<float>(kFrameCap);
  const float diagonal = step / std::sqrt(2.0f);
  struct Keys {
    const char* name;
    bool forward, backward, left, right;
    glm::vec3 expected;
  };
  for (const Keys& keys : {Keys{"W and S walk backward", true, true, false, false, {0.0f, 0.0f, step}},
                           Keys{"A and D walk right", false, false, true, true, {step, 0.0f, 0.0f}},
                           Keys{"W and D", true, false, false, true, {diagonal, 0.0f, -diagonal}},
                           Keys{"S and A", false, true, true, false, {-diagonal, 0.0f, diagonal}},
                           Keys{"nothing held", false, false, false, false, {0.0f, 0.0f, 0.0f}}}) {
    SCOPED_TRACE(keys.name);
    std::vector<assets::Mesh> ledge;
    ledge.push_back(floorQuad(0.5f, 5.0f, 0.0f, -1.0f, 1.0f));  // at the robot's waist, in the way right: no stop
    Character robot = robotIn(std::move(ledge));
    robot.turn(1.5707964f);  // a quarter turn clockwise seen from above
    settle(robot, kFrameCap);
    const glm::vec3 start = translationOf(robot.translationMatrix);
    robot.move(static_cast<float>(kFrameCap), keys.forward, keys.backward, keys.left, keys.right);
    robot.update(kFrameCap);
    const glm::vec3 position = translationOf(robot.translationMatrix);
    expectNear(position - start, keys.expected, 1e-6f);
    // The model's front (-z at 4 model units, 1 world unit) points along +x; the box does not turn.
    expectNear(glm::vec3(robot.modelMatrix * glm::vec4(0.0f, 0.0f, -4.0f, 1.0f)), position + glm::vec3(1, 0, 0), 1e-5f);
    expectNear(robot.worldCornerB - robot.worldCornerA, {0.5f, 2.0f, -0.5f}, 1e-6f);
  }
}

TEST_F(CharacterTest, ACeilingOrABlockAboveStopsTheRiseAndAStepPastAFloorsEdgeDropsOnlyFromTheNextFrame) {
  for (const bool block : {false, true}) {
    SCOPED_TRACE(block ? "a block" : "a ceiling");
    Character robot = robotIn({});
    settle(robot, kFrameCap);
    const float head = robot.worldCornerB.y;
    // Half a unit above the head; the jump's first step rises 0.4, the second would reach 0.7.
    const scene::CollisionBox above{{-1.0f, head + 0.5f, 1.0f}, {1.0f, head + (block ? 2.0f : 0.5f), -1.0f}};
    (block ? robot.collisionMap.blockBoxes : robot.collisionMap.floorBoxes).push_back(above);
    robot.jump();
    robot.update(kFrameCap);
    robot.update(kFrameCap);
    EXPECT_NEAR(robot.worldCornerB.y - head, 0.4f, 1e-5f);
    EXPECT_FALSE(robot.airborne);
    EXPECT_EQ(robot.verticalSpeed, 0.0f);
  }
  // On a ledge ending at x = 0.3, walking right: the second step leaves it, the fall starts a frame later.
  std::vector<assets::Mesh> ledge;
  ledge.push_back(floorQuad(-2.0f, 0.3f, 0.0f, -2.0f, 2.0f));
  Character robot = robotIn(std::move(ledge));
  settle(robot, kFrameCap);
  const float ground = robot.worldCornerA.y;
  robot.move(static_cast<float>(kFrameCap), false, false, false, true);
  robot.update(kFrameCap);
  robot.update(kFrameCap);
  ASSERT_GT(robot.worldCornerA.x, 0.3f) << "past the edge";
  EXPECT_EQ(robot.worldCornerA.y, ground);
  robot.update(kFrameCap);
  EXPECT_LT(robot.worldCornerA.y, ground);
}

}  // namespace
}  // namespace varn::test
