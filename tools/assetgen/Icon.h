// The game's face in the desktop menu: the player's robot in front of a spinning enemy saw,
// on a tile of the factory's brick wall.
#pragma once

#include "Image.h"

namespace assetgen {

// size x size RGBA (the design is 256 x 256); transparent outside the rounded tile.
Image paintIcon(int size);

}  // namespace assetgen
