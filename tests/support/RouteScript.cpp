// The route as a script, and the aim that sends a bullet at the button.
#include "RouteScript.h"

#include <GLFW/glfw3.h>

#include <glm/gtc/matrix_transform.hpp>

#include "WindowPixel.h"
#include "render/PlayerView.h"

namespace varn::test {

namespace {

// The pixel of a point given relative to the robot's position. The player camera keeps its
// start-up offset from the robot, so the pixel is the same wherever the robot stands.
glm::vec2 pixelOfOffset(glm::vec3 offset, int windowWidth, int windowHeight) {
  const glm::mat4 projection =
      glm::perspective(render::kPlayerFieldOfView, static_cast<float>(windowWidth) / static_cast<float>(windowHeight),
                       render::kPlayerNear, render::kPlayerFar);
  return windowPixel(offset, render::playerStartView(), projection, windowWidth, windowHeight);
}

}  // namespace

void appendRouteToButtonRoom(app::ScriptedPlatform& platform) {
  for (const route::Leg& leg : route::kStartToButtonRoom) {
    app::ScriptedPlatform::Frame frame;
    if (leg.forward) frame.keys.insert(GLFW_KEY_W);
    if (leg.backward) frame.keys.insert(GLFW_KEY_S);
    if (leg.left) frame.keys.insert(GLFW_KEY_A);
    if (leg.right) frame.keys.insert(GLFW_KEY_D);
    if (leg.jump) frame.keys.insert(GLFW_KEY_SPACE);
    platform.append(frame, leg.frames);
  }
}

glm::vec2 cursorAimingAtButton(int windowWidth, int windowHeight) {
  return pixelOfOffset(route::kButtonAimPoint - route::kShootingPosition, windowWidth, windowHeight);
}

void appendShotAtButton(app::ScriptedPlatform& platform) {
  const glm::vec2 cursor = cursorAimingAtButton();
  platform.cursorAt(cursor.x, cursor.y).idle(3);
  platform.click(1);
}

}  // namespace varn::test
