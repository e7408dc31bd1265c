// The route as the keys held in each leg. Most legs end against a wall, which lines the robot up;
// with Space held the robot jumps again on every landing.
#include "RouteScript.h"

#include <GLFW/glfw3.h>

#include <glm/gtc/matrix_transform.hpp>
#include <set>

namespace varn::test {

namespace {

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

}  // namespace

void appendRouteToButtonRoom(app::ScriptedPlatform& platform) {
  for (const Leg& leg : kStartToButtonRoom) platform.append({leg.keys, {}, {}}, leg.frames);
}

void appendShotAtButton(app::ScriptedPlatform& platform) {
  // The centre column, above the robot: the player camera keeps its offset from the robot, so the pixel
  // is the same wherever it stands (at the game's default 800 x 600).
  const glm::mat4 view = glm::lookAt(glm::vec3(0.0f, 5.0f, 3.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
  const glm::vec4 clip = glm::perspective(1.0471976f, 800.0f / 600.0f, 0.1f, 40.0f) * view * glm::vec4(0, 1.5f, -3, 1);
  platform.cursorAt(400.0, (1.0 - clip.y / clip.w) * 300.0).idle(3).click(1);
}

}  // namespace varn::test
