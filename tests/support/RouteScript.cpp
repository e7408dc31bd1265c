// The route as a script, and the aim that sends a bullet straight north.
#include "RouteScript.h"

#include <glm/gtc/matrix_transform.hpp>

namespace varn::test {

void appendRouteToButtonRoom(ScriptedPlatform& platform) { appendLegs(platform, route::kStartToButtonRoom); }

glm::vec2 cursorAimingNorth(int windowWidth, int windowHeight) {
  // The player camera keeps its start-up offset from the robot, so the pixel is the same
  // wherever the robot stands: project a point on the shoulder plane ahead of it.
  const glm::mat4 view = glm::lookAt(glm::vec3(0.0f, 5.0f, 3.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
  const glm::mat4 projection =
      glm::perspective(1.0471976f, static_cast<float>(windowWidth) / windowHeight, 0.1f, 40.0f);
  const glm::vec4 clip = projection * view * glm::vec4(0.0f, 1.5f, -3.0f, 1.0f);
  const float ndcY = clip.y / clip.w;
  return {static_cast<float>(windowWidth / 2), (1.0f - ndcY) * 0.5f * static_cast<float>(windowHeight)};
}

void appendShotAtButton(ScriptedPlatform& platform) {
  const glm::vec2 cursor = cursorAimingNorth();
  platform.cursorAt(cursor.x, cursor.y).idle(3);
  platform.click(1);
}

}  // namespace varn::test
