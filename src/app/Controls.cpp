// Keyboard and mouse: the F3 to F9 render toggles, cursor aiming and the robot's turn,
// firing, walking and jumping, the camera switch and the free-camera mouse look.
#include "app/Controls.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <memory>

#include "app/Console.h"
#include "app/Globals.h"
#include "audio/Audio.h"
#include "render/RenderState.h"

namespace varn::app {

namespace {

constexpr float kToggleSeconds = 0.5f;     // cooldown of every repeated action but F3
constexpr float kWireframeSeconds = 0.4f;  // F3 repeats a little faster
constexpr double kAmbientStep = 0.1;       // F6/F7 change of the ambient strength
constexpr float kShoulderHeight = 1.5f;    // above the robot's origin: where aiming and bullets start
// The game's own values for half and a quarter of a turn (not pi and pi/2).
constexpr double kHalfTurn = 3.14;
constexpr float kQuarterTurn = 1.57f;
constexpr float kLowestPitch = -1.0f;  // radians: the free camera looks down only this far
constexpr double kLookRadiansPerPixel = 0.003;

const glm::vec3 kForward(0.0f, 0.0f, -1.0f);  // the robot's rest orientation faces -z

// Rounding can push a dot product of unit vectors just past 1; acos of that is NaN,
// and a NaN turn angle makes the robot vanish.
float angleFromForward(const glm::vec3& unitDirection) {
  return std::acos(std::clamp(glm::dot(unitDirection, kForward), -1.0f, 1.0f));
}

bool ready(float cooldown) { return cooldown <= 0.0f; }

// The ambient strength is stepped in double from the stored float and clamped to [0, 1].
void stepAmbient(double step) {
  double strength = static_cast<double>(ambientLight.x) + step;
  strength = std::clamp(strength, 0.0, 1.0);
  ambientLight.x = static_cast<float>(strength);
}

}  // namespace

void applyRenderToggles(Platform& platform) {
  if (platform.keyDown(GLFW_KEY_F3) && ready(wireframeCooldown)) {
    if (!wireframeOn) {
      glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
      wireframeOn = true;
      printLine("Wireframe mode turned on");
    } else {
      glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
      wireframeOn = false;
      printLine("Wireframe mode turned off");
    }
    wireframeCooldown = kWireframeSeconds;
    audio::playAtListener(audio::Sound::Click);
  }

  if (platform.keyDown(GLFW_KEY_F4) && ready(textureFilterCooldown)) {
    textureFilterMode = (textureFilterMode + 1) % 2;
    printLine(textureFilterMode == 0 ? "Texture Sampling Quality: Nearest Neighbour"
                                     : "Texture Sampling Quality: Bilinear");
    textureFilterCooldown = kToggleSeconds;
    audio::playAtListener(audio::Sound::Click);
  }

  if (platform.keyDown(GLFW_KEY_F5) && ready(mipmapCooldown)) {
    mipmapMode = (mipmapMode + 1) % 3;
    if (mipmapMode == 0) {
      printLine("MipMap Quality: OFF");
    } else if (mipmapMode == 1) {
      printLine("MipMap Sampling Quality: Nearest Neighbour");
    } else {
      printLine("MipMap Sampling Quality: Bilinear");
    }
    mipmapCooldown = kToggleSeconds;
    audio::playAtListener(audio::Sound::Click);
  }

  // F6 and F7 share one timer, so with both held F6 acts and F7 finds the timer running.
  if (platform.keyDown(GLFW_KEY_F6) && ready(ambientCooldown)) {
    printLine("Ambient Light Strength decreased");
    stepAmbient(-kAmbientStep);
    ambientCooldown = kToggleSeconds;
    audio::playAtListener(audio::Sound::Click);
  }
  if (platform.keyDown(GLFW_KEY_F7) && ready(ambientCooldown)) {
    printLine("Ambient Light Strength increased");
    stepAmbient(kAmbientStep);
    ambientCooldown = kToggleSeconds;
    audio::playAtListener(audio::Sound::Click);
  }

  if (platform.keyDown(GLFW_KEY_F8) && ready(cullingCooldown)) {
    frustumCullingOn = !frustumCullingOn;
    printLine(frustumCullingOn ? "Viewfrustum Culling: ON" : "Viewfrustum Culling: OFF");
    cullingCooldown = kToggleSeconds;
    audio::playAtListener(audio::Sound::Click);
  }

  if (platform.keyDown(GLFW_KEY_F9) && ready(transparencyCooldown)) {
    transparencyOn = !transparencyOn;
    printLine(transparencyOn ? "Transparency: ON" : "Transparency: OFF");
    transparencyCooldown = kToggleSeconds;
    audio::playAtListener(audio::Sound::Click);
  }
}

void toggleSound(Platform& platform) {
  if (!platform.keyDown(GLFW_KEY_M) || !ready(muteCooldown)) return;
  printLine(audio::toggleMute() ? "Sound: OFF" : "Sound: ON");
  muteCooldown = kToggleSeconds;
}

void aimAndTurn(Platform& platform, FrameAim& aim) {
  platform.cursorPosition(aim.cursorX, aim.cursorY);

  // Cursor to a world-space ray through the active camera, using the window size the
  // game was started with.
  const float ndcX = static_cast<float>(2.0 * aim.cursorX / windowWidth - 1.0);
  const float ndcY = static_cast<float>(1.0 - 2.0 * aim.cursorY / windowHeight);
  const glm::vec4 nearPoint = glm::inverse(render::projection) * glm::vec4(ndcX, ndcY, -1.0f, 1.0f);
  const glm::vec4 eyeDirection(nearPoint.x, nearPoint.y, -1.0f, 0.0f);
  const glm::mat4 inverseView = glm::inverse(activeCamera->modelMatrix);
  aim.rayDirection = glm::normalize(glm::vec3(inverseView * eyeDirection));
  aim.rayOrigin = glm::vec3(inverseView[3]);

  aim.shoulderPoint = glm::vec3(character.modelMatrix[3]) + glm::vec3(0.0f, kShoulderHeight, 0.0f);

  // The point under the cursor on the horizontal plane through the shoulder. A ray
  // along the plane or away from it has no such point; the robot then keeps its aim.
  const float t = (aim.shoulderPoint.y - aim.rayOrigin.y) / aim.rayDirection.y;
  if (std::isfinite(t) && t > 0.0f) {
    const glm::vec3 hit = aim.rayOrigin + t * aim.rayDirection;
    const glm::vec3 towardsHit = hit - aim.shoulderPoint;
    if (glm::length(towardsHit) > 0.0f) aimDirection = glm::normalize(towardsHit);
  }

  if (!freeCameraMode) {
    float angle = angleFromForward(aimDirection);
    // The side is the cursor's side of the centre column, not the sign of the aim.
    if (aim.cursorX < windowWidth / 2) angle = -angle;
    character.turn(angle);
  }
}

void fireBullets(Platform& platform, const FrameAim& aim) {
  if (!platform.mouseButtonDown(GLFW_MOUSE_BUTTON_LEFT) || !ready(shootCooldown)) return;
  // The player camera shoots level along the aim; the free camera along the cursor ray.
  const glm::vec3 direction = freeCameraMode ? aim.rayDirection : aimDirection;
  // One unit ahead of the shoulder, so the bullet leaves from in front of the robot.
  const glm::mat4 start = glm::translate(glm::mat4(1.0f), aim.shoulderPoint + direction);
  bullets.push_back(std::make_unique<scene::Bullet>(bulletModel, start, direction));
  audio::play(audio::Sound::Shot, aim.shoulderPoint);
  shootCooldown = kToggleSeconds;
}

void moveAndJump(Platform& platform) {
  const bool forward = platform.keyDown(GLFW_KEY_W);
  const bool backward = platform.keyDown(GLFW_KEY_S);
  const bool left = platform.keyDown(GLFW_KEY_A);
  const bool right = platform.keyDown(GLFW_KEY_D);
  // In the free camera the robot is left alone: it keeps the last step it was given.
  if (freeCameraMode) return;
  if (platform.keyDown(GLFW_KEY_SPACE)) character.jump();
  character.move(deltaTime, forward, backward, left, right);
}

void switchCamera(Platform& platform, FrameAim& aim) {
  if (!platform.keyDown(GLFW_KEY_C) || !ready(cameraToggleCooldown)) return;

  if (freeCameraMode) {
    platform.setCursorNormal();
    platform.setCursorPosition(static_cast<double>(savedCursorX), static_cast<double>(savedCursorY));
    activeCamera = &playerCamera;
    cameraToggleCooldown = kToggleSeconds;
    audio::playAtListener(audio::Sound::Click);
    freeCameraMode = false;
    return;
  }

  // Start the free camera looking the way the robot aims.
  aimDirection = glm::normalize(aimDirection);
  const float a = angleFromForward(aimDirection);
  freeCameraYaw = static_cast<float>(kHalfTurn - a);
  if (aimDirection.x < 0.0f) freeCameraYaw = -freeCameraYaw;

  savedCursorX = static_cast<float>(aim.cursorX);
  savedCursorY = static_cast<float>(aim.cursorY);
  const double centreX = static_cast<double>(windowWidth / 2);
  const double centreY = static_cast<double>(windowHeight / 2);
  platform.setCursorPosition(centreX, centreY);
  // The look below measures this frame's movement from the centre: none yet.
  aim.cursorX = centreX;
  aim.cursorY = centreY;

  freeCameraPitch = 0.0f;
  freeCameraPosition = aim.shoulderPoint;
  activeCamera = &freeCamera;
  cameraToggleCooldown = kToggleSeconds;
  audio::playAtListener(audio::Sound::Click);
  freeCameraMode = true;
}

void freeCameraLook(Platform& platform, const FrameAim& aim) {
  const int centreX = windowWidth / 2;
  const int centreY = windowHeight / 2;
  // Mouse left turns left, mouse up looks up.
  freeCameraYaw = static_cast<float>(freeCameraYaw + (centreX - aim.cursorX) * kLookRadiansPerPixel);
  freeCameraPitch = static_cast<float>(freeCameraPitch + (centreY - aim.cursorY) * kLookRadiansPerPixel);
  // Up almost to the vertical, down only to -1 radian.
  if (freeCameraPitch > kQuarterTurn) freeCameraPitch = kQuarterTurn;
  if (freeCameraPitch < kLowestPitch) freeCameraPitch = kLowestPitch;

  const float yaw = freeCameraYaw;
  const float pitch = freeCameraPitch;
  const glm::vec3 direction(std::cos(pitch) * std::sin(yaw), std::sin(pitch), std::cos(pitch) * std::cos(yaw));
  const glm::vec3 right(std::sin(yaw - kQuarterTurn), 0.0f, std::cos(yaw - kQuarterTurn));
  const glm::vec3 up = glm::cross(right, direction);

  freeCamera.modelMatrix = glm::lookAt(freeCameraPosition, freeCameraPosition + direction, up);
  freeCamera.direction = direction;
  freeCamera.up = up;

  // The next frame measures the mouse from the centre again.
  platform.setCursorPosition(static_cast<double>(centreX), static_cast<double>(centreY));
}

}  // namespace varn::app
