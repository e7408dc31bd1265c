// The brick factory level (map_bricks.obj) and the destruction button that sits in its last
// room (destructionbutton.obj).
#pragma once

#include "ObjModel.h"

namespace assetgen {

// The level in model coordinates: the game places it with translate(0, -1, 0), so a floor
// at world height h is written at h + 1.
//
// Collision conventions the game relies on: every floor and wall piece is its own object of
// one quad (4 corners) with an exact axis normal; every solid (steps, crates, pillars) is
// its own object with more than 6 corners.
ObjModel buildLevel();

// The button in world coordinates (drawn with the identity matrix): a red push button on
// a hazard-striped panel that fills the niche of the last room's back wall, covering the
// button's box x 42.4..43.8, y 7.1..8.9 on the wall plane z = -36.5.
ObjModel buildButton();

}  // namespace assetgen
