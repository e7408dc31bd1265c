// Definitions of the game's shared state; resetGlobals and resetRenderToggles beside them
// hold the values the game starts from, and give them to the globals before main runs.
#include "app/Globals.h"

namespace varn {

scene::Character character;
scene::Enemy enemy1;
scene::Enemy enemy2;
scene::Map levelMap;
scene::Button destructionButton;
scene::Camera playerCamera;
scene::Camera freeCamera;
scene::Camera* activeCamera;
assets::Model bulletModel;
std::vector<std::unique_ptr<scene::Bullet>> bullets;
float deltaTime;
bool wireframeOn;
int32_t textureFilterMode;
int32_t mipmapMode;
glm::vec3 ambientLight;
bool frustumCullingOn;
bool transparencyOn;
bool freeCameraMode;
bool enemy1Destroyed;
bool enemy2Destroyed;
bool enemyReachedPlayer;
bool gameWon;
bool gameLost;
bool quitRequested;
float endDelay;
bool explosionPending;
int32_t explosionKind;
glm::vec3 explosionPosition;
uint32_t objectsConsidered;
uint32_t objectsDrawn;

float previousTime;
float shootCooldown;
float cameraToggleCooldown;
float ambientCooldown;
float wireframeCooldown;
float textureFilterCooldown;
float mipmapCooldown;
float transparencyCooldown;
float cullingCooldown;
float muteCooldown;

int32_t windowWidth;
int32_t windowHeight;

glm::vec3 aimDirection;
glm::vec3 freeCameraPosition;
float freeCameraYaw;
float freeCameraPitch;
float savedCursorX;
float savedCursorY;

void resetRenderToggles() {
  activeCamera = &playerCamera;
  wireframeOn = false;
  textureFilterMode = 1;
  mipmapMode = 2;
  ambientLight = glm::vec3(0.3f, 0.0f, 0.0f);
  frustumCullingOn = true;
  transparencyOn = true;
  freeCameraMode = false;
}

void resetGlobals() {
  resetRenderToggles();
  character = scene::Character();
  enemy1 = scene::Enemy();
  enemy2 = scene::Enemy();
  levelMap = scene::Map();
  destructionButton = scene::Button();
  playerCamera = scene::Camera();
  freeCamera = scene::Camera();
  bulletModel = assets::Model();
  bullets.clear();
  deltaTime = 0.0f;
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
  muteCooldown = 0.0f;
  windowWidth = 800;
  windowHeight = 600;
  aimDirection = glm::vec3(0.0f, 0.0f, -1.0f);
  freeCameraPosition = glm::vec3(0.0f);
  freeCameraYaw = 0.0f;
  freeCameraPitch = 0.0f;
  savedCursorX = 0.0f;
  savedCursorY = 0.0f;
}

namespace {

// Runs once, after every definition above: they are in this file, in this order.
const bool globalsAtStart = (resetGlobals(), true);

}  // namespace

}  // namespace varn
