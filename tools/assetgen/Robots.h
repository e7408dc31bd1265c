// The player's robot, the enemy robot and its saw, and the bullet.
#pragma once

#include "ObjModel.h"

namespace assetgen {

// Kelbo, the player's robot: feet at y = 0, 8.2 units tall (the game draws it at scale
// 0.25), facing -z, with a shoulder cannon at the height the shots leave from.
ObjModel buildKelbo();
// The enemy body, drawn unscaled: treads at y = -1, about 2 units tall, facing +z. Its right
// arm (+x) holds the saw's hub on the x axis.
ObjModel buildEnemyBody();
// The saw, in the enemy body's coordinates: a toothed disc in the y-z plane at x = 0.78..0.84,
// centred on the x axis, about which the game spins it.
ObjModel buildEnemySaw();
// A small glowing icosahedron of radius 0.1 around the origin.
ObjModel buildBullet();

}  // namespace assetgen
