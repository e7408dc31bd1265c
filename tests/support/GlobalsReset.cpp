// The start values here mirror the definitions in src/app/Globals.cpp.
#include "GlobalsReset.h"

#include "app/Globals.h"

namespace varn::test {

void resetGlobals() {
  character = scene::Character();
  enemy1 = enemy2 = scene::Enemy();
  levelMap = scene::Map();
  destructionButton = scene::Button();
  playerCamera = freeCamera = scene::Camera();
  activeCamera = &playerCamera;
  bulletModel = assets::Model();
  bullets.clear();
  textureFilterMode = 1;
  mipmapMode = 2;
  ambientLight = glm::vec3(0.3f, 0.0f, 0.0f);
  frustumCullingOn = transparencyOn = true;
  wireframeOn = freeCameraMode = enemy1Destroyed = enemy2Destroyed = enemyReachedPlayer = false;
  gameWon = gameLost = quitRequested = explosionPending = false;
  explosionKind = 0;
  explosionPosition = freeCameraPosition = glm::vec3(0.0f);
  objectsConsidered = objectsDrawn = 0;
  deltaTime = endDelay = previousTime = 0.0f;
  shootCooldown = cameraToggleCooldown = ambientCooldown = wireframeCooldown = 0.0f;
  textureFilterCooldown = mipmapCooldown = transparencyCooldown = cullingCooldown = muteCooldown = 0.0f;
  windowWidth = 800;
  windowHeight = 600;
  aimDirection = glm::vec3(0.0f, 0.0f, -1.0f);
  freeCameraYaw = freeCameraPitch = savedCursorX = savedCursorY = 0.0f;
}

}  // namespace varn::test
