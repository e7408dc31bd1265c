// The game's shared state, owned by the main module: the scene objects, the render
// toggles and the rule flags. Declared once here, scene objects first, then settings and flags.
#pragma once

#include <cstdint>
#include <glm/glm.hpp>
#include <memory>
#include <vector>

#include "assets/Model.h"
#include "scene/Bullet.h"
#include "scene/Button.h"
#include "scene/Camera.h"
#include "scene/Character.h"
#include "scene/Enemy.h"
#include "scene/Map.h"

namespace varn {

extern scene::Character character;  // the player's robot, built by init
extern scene::Enemy enemy1;         // enemy robots, built by init
extern scene::Enemy enemy2;
extern scene::Map levelMap;                                  // the level and its collision boxes
extern scene::Button destructionButton;                      // shooting it wins the game
extern scene::Camera playerCamera;                           // above and behind the robot, carried by its steps
extern scene::Camera freeCamera;                             // the look-around camera
extern scene::Camera* activeCamera;                          // the camera the frame is drawn with
extern assets::Model bulletModel;                            // shared by every bullet
extern std::vector<std::unique_ptr<scene::Bullet>> bullets;  // in firing order, owned
extern float deltaTime;                                      // seconds the previous frame took, at most 0.1
extern bool wireframeOn;                                     // F3
extern int32_t textureFilterMode;                            // F4: 0 nearest, 1 bilinear
extern int32_t mipmapMode;                                   // F5: 0 off, 1 nearest, 2 bilinear
extern glm::vec3 ambientLight;                               // F6/F7 change x, in [0, 1]
extern bool frustumCullingOn;                                // F8
extern bool transparencyOn;                                  // F9
extern bool freeCameraMode;                                  // C
extern bool enemy1Destroyed;
extern bool enemy2Destroyed;
extern bool enemyReachedPlayer;  // from then on the enemies stop
extern bool gameWon;
extern bool gameLost;
extern bool quitRequested;           // the end countdown ran out
extern float endDelay;               // seconds left of the end countdown
extern bool explosionPending;        // a hit effect is to start in this frame's draw
extern int32_t explosionKind;        // a HitKind (app/HitKind.h)
extern glm::vec3 explosionPosition;  // centre of the hitting bullet's box
extern uint32_t objectsConsidered;   // this frame's colour passes, for the title
extern uint32_t objectsDrawn;

// Main-loop state.
extern float previousTime;  // glfwGetTime of the last frame, seconds
// Key cooldowns in seconds: a key acts only while its timer is 0 or less.
extern float shootCooldown;
extern float cameraToggleCooldown;
extern float ambientCooldown;
extern float wireframeCooldown;
extern float textureFilterCooldown;
extern float mipmapCooldown;
extern float transparencyCooldown;
extern float cullingCooldown;
extern float muteCooldown;

// Window size as the command line gave it; the game's idea of the window for its whole run.
extern int32_t windowWidth;
extern int32_t windowHeight;

// Controls state kept across frames.
extern glm::vec3 aimDirection;        // unit vector from the shoulder towards the cursor's point
extern glm::vec3 freeCameraPosition;  // the free camera's eye
extern float freeCameraYaw;           // radians
extern float freeCameraPitch;         // radians, in [-1.0, 1.57]
extern float savedCursorX;            // cursor when the free camera was entered, pixels
extern float savedCursorY;

// Puts the toggles the keys change (F3 to F9, C) and the active camera back to their start.
void resetRenderToggles();
// Puts every global above back to the value the game starts from (they hold those
// before main runs); for a second start in one process, as the tests make.
void resetGlobals();

}  // namespace varn
