// The frame loop. The order of the steps is the game's contract: later steps of a
// frame see what earlier steps changed, and input polled at the end of one frame
// is what the next frame reads.
#include "app/MainLoop.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/Controls.h"
#include "app/GameSounds.h"
#include "app/GameRules.h"
#include "app/Globals.h"
#include "app/WorldUpdate.h"
#include "render/FrameRenderer.h"

namespace varn::app {

namespace {

// A long stall (a dragged window) costs at most this much simulated time.
constexpr float kMaxFrameSeconds = 0.1f;

void ageCooldown(float& timer) {
  if (timer > 0.0f) timer -= deltaTime;
}

}  // namespace

std::string windowTitle(uint32_t drawn, uint32_t considered, float frameSeconds) {
  const int milliseconds = static_cast<int>(frameSeconds * 1000.0f);
  const char* label = milliseconds < 10 ? " | Frametime:   " : " | Frametime: ";
  return "Morrowgear | Objects drawn " + std::to_string(drawn) + " / " + std::to_string(considered) + label +
         std::to_string(milliseconds) + " ms";
}

void takeFrameTime(double now) {
  deltaTime = static_cast<float>(now - static_cast<double>(previousTime));
  previousTime = static_cast<float>(now);
  if (deltaTime > kMaxFrameSeconds) deltaTime = kMaxFrameSeconds;
}

void ageCooldowns() {
  for (float* timer : {&shootCooldown, &cameraToggleCooldown, &ambientCooldown, &wireframeCooldown,
                       &textureFilterCooldown, &mipmapCooldown, &transparencyCooldown, &cullingCooldown,
                       &muteCooldown}) {
    ageCooldown(*timer);
  }
}

void runMainLoop(GLFWwindow* window, Platform& platform) {
  FrameAim aim;
  while (true) {
    if (quitRequested) break;
    applyRenderToggles(platform);
    toggleSound(platform);
    takeFrameTime(platform.time());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_CULL_FACE);
    ageCooldowns();

    aimAndTurn(platform, aim);
    enemiesCloseIn();
    bulletHits();
    fireBullets(platform, aim);
    moveAndJump(platform);
    switchCamera(platform, aim);
    if (freeCameraMode) freeCameraLook(platform, aim);
    updateWorld(static_cast<double>(deltaTime));
    render::draw();
    hearFrame();

    glfwSetWindowTitle(window, windowTitle(objectsDrawn, objectsConsidered, deltaTime).c_str());
    platform.frameDrawn();
    glfwSwapBuffers(window);
    platform.pollEvents();
    if (platform.keyDown(GLFW_KEY_ESCAPE)) glfwSetWindowShouldClose(window, GLFW_TRUE);
    outcomeBookkeeping();
    if (glfwWindowShouldClose(window)) break;
  }
}

}  // namespace varn::app
