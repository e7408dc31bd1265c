// The route as a script, and the aim that sends a bullet at the button.
#include "RouteScript.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <iomanip>
#include <sstream>

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

int appendShotAtButton(app::ScriptedPlatform& platform) {
  const glm::vec2 cursor = cursorAimingAtButton();
  platform.cursorAt(cursor.x, cursor.y).idle(3);
  const int shot = platform.scriptLength();
  platform.click(1);
  return shot;
}

std::string RouteWatch::check(int frame, glm::vec3 robotPosition, const glm::mat4& playerView, bool won) const {
  int legEnd = routeStart_ - 1;
  for (const route::Leg& leg : route::kStartToButtonRoom) {
    legEnd += leg.frames;
    if (frame != legEnd) continue;
    const glm::vec3 off = robotPosition - leg.end;
    const glm::vec3 eyeOffset = glm::vec3(glm::inverse(playerView)[3]) - robotPosition;
    std::ostringstream what;
    what << std::fixed << std::setprecision(2) << "off the route at the end of \"" << leg.what << "\" (frame "
         << frame << "): ";
    if (std::abs(off.x) > route::kHorizontalTolerance || std::abs(off.z) > route::kHorizontalTolerance ||
        std::abs(off.y) > route::kHeightTolerance) {
      what << "the robot stands at (" << robotPosition.x << ", " << robotPosition.y << ", " << robotPosition.z
           << "), the route expects (" << leg.end.x << ", " << leg.end.y << ", " << leg.end.z << ")";
      return what.str();
    }
    if (glm::length(eyeOffset - render::kPlayerEye) > route::kHorizontalTolerance) {
      what << "the player camera's eye is (" << eyeOffset.x << ", " << eyeOffset.y << ", " << eyeOffset.z
           << ") from the robot, not its start-up offset (" << render::kPlayerEye.x << ", " << render::kPlayerEye.y
           << ", " << render::kPlayerEye.z << ")";
      return what.str();
    }
    return "";
  }
  if (frame == shotFrame_ + static_cast<int>(route::kWinSeconds * 60.0f) && !won) {
    std::ostringstream what;
    what << "the winning shot of frame " << shotFrame_ << " has not won the game " << route::kWinSeconds
         << " s later";
    return what.str();
  }
  return "";
}

}  // namespace varn::test
