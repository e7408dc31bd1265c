// The start values here mirror the definitions in src/app/Globals.cpp.
#include "GlobalsReset.h"

#include "app/Globals.h"

namespace varn::test {

void resetGlobals() {
  character = scene::Character();
  enemy1 = scene::Enemy();
  enemy2 = scene::Enemy();
  levelMap = scene::Map();
  destructionButton = scene::Button();
  playerCamera = scene::Camera();
  freeCamera = scene::Camera();
  activeCamera = &playerCamera;
  bulletModel = assets::Model();
  bullets.clear();
  deltaTime = 0.0f;
  wireframeOn = false;
  textureFilterMode = 1;
  mipmapMode = 2;
  ambientLight = glm::vec3(0.3f, 0.0f, 0.0f);
  frustumCullingOn = true;
  transparencyOn = true;
  freeCameraMode = false;
  enemy1Destroyed = false;
  enemy2Destroyed = false;
  enemyReachedPlayer = false;
  gameWon = false;
  gameLost = false;
  quitRequested = false;
  endDelay = 0.0f;
  explosionPending = false;
  explosionKind = 0;
  explosionPosition = glm::vec3(0.0f);
  objectsConsidered = 0;
  objectsDrawn = 0;

  previousTime = 0.0f;
  shootCooldown = 0.0f;
  cameraToggleCooldown = 0.0f;
  ambientCooldown = 0.0f;
  wireframeCooldown = 0.0f;
  textureFilterCooldown = 0.0f;
  mipmapCooldown = 0.0f;
  transparencyCooldown = 0.0f;
  cullingCooldown = 0.0f;

  windowWidth = 800;
  windowHeight = 600;

  aimDirection = glm::vec3(0.0f, 0.0f, -1.0f);
  freeCameraPosition = glm::vec3(0.0f);
  freeCameraYaw = 0.0f;
  freeCameraPitch = 0.0f;
  savedCursorX = 0.0f;
  savedCursorY = 0.0f;
}

}  // namespace varn::test
