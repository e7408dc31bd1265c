// Template part of RouteScript.h.
#include <GLFW/glfw3.h>

namespace varn::test {

template <size_t N>
void appendLegs(ScriptedPlatform& platform, const route::Leg (&legs)[N], int legCount, int framesPerStep) {
  for (int i = 0; i < legCount && i < static_cast<int>(N); ++i) {
    const route::Leg& leg = legs[i];
    ScriptedPlatform::Frame frame;
    if (leg.forward) frame.keys.insert(GLFW_KEY_W);
    if (leg.backward) frame.keys.insert(GLFW_KEY_S);
    if (leg.left) frame.keys.insert(GLFW_KEY_A);
    if (leg.right) frame.keys.insert(GLFW_KEY_D);
    if (leg.jump) frame.keys.insert(GLFW_KEY_SPACE);
    platform.append(frame, leg.frames / framesPerStep);
  }
}

}  // namespace varn::test
