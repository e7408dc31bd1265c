// Definitions of the game's shared state, with the values the game starts from.
#include "app/Globals.h"

namespace varn {

scene::Character character;
scene::Enemy enemy1;
scene::Enemy enemy2;
scene::Map levelMap;
scene::Button destructionButton;
scene::Camera playerCamera;
scene::Camera freeCamera;
scene::Camera* activeCamera = &playerCamera;
assets::Model bulletModel;
std::vector<std::unique_ptr<scene::Bullet>> bullets;
float deltaTime = 0.0f;
bool wireframeOn = false;
int32_t textureFilterMode = 1;
int32_t mipmapMode = 2;
glm::vec3 ambientLight{0.3f, 0.0f, 0.0f};
bool frustumCullingOn = true;
bool transparencyOn = true;
bool freeCameraMode = false;
bool enemy1Destroyed = false;
bool enemy2Destroyed = false;
bool enemyReachedPlayer = false;
bool gameWon = false;
bool gameLost = false;
bool quitRequested = false;
float endDelay = 0.0f;
bool explosionPending = false;
int32_t explosionKind = 0;
glm::vec3 explosionPosition{0.0f};
uint32_t objectsConsidered = 0;
uint32_t objectsDrawn = 0;

float previousTime = 0.0f;
float shootCooldown = 0.0f;
float cameraToggleCooldown = 0.0f;
float ambientCooldown = 0.0f;
float wireframeCooldown = 0.0f;
float textureFilterCooldown = 0.0f;
float mipmapCooldown = 0.0f;
float transparencyCooldown = 0.0f;
float cullingCooldown = 0.0f;
float muteCooldown = 0.0f;

int32_t windowWidth = 800;
int32_t windowHeight = 600;

glm::vec3 aimDirection{0.0f, 0.0f, -1.0f};
glm::vec3 freeCameraPosition{0.0f};
float freeCameraYaw = 0.0f;
float freeCameraPitch = 0.0f;
float savedCursorX = 0.0f;
float savedCursorY = 0.0f;

}  // namespace varn
