// The procedural textures of the game's models and the cursor image.
#pragma once

#include <vector>

#include "Image.h"

namespace assetgen {

// Level textures. The world-mapped ones tile: bricks and floor plates cover 2 x 2 world
// units, coping and hazard stripes 1 x 1.
Image paintBricks();
Image paintFloorPlates();
Image paintCoping();
Image paintHazardStripes();
// Atlas for the steel steps: top half the tread (4 x 1 units, nosing along the image's
// bottom edge of that half), bottom half the striped riser (4 x 0.5 units).
Image paintSteps();
// One crate side per image.
Image paintCrate();
// One side of a factory machine: painted steel with a screen, gauges and vents.
Image paintMachine();

// A palette: 8 x 4 colour cells of 8 px in the top half of a 64 x 64 image; the bottom half
// holds two 32 x 32 detail tiles painted by `detailLeft` and `detailRight`.
struct Palette {
  std::vector<Colour> cells;  // at most 32, row by row
};
glm::dvec2 paletteCell(int index);
// Texture coordinates of a point (s, t in 0..1, t upwards) in detail tile 0 (left) or 1 (right).
glm::dvec2 paletteDetail(int tile, double s, double t);

Image paintKelboPalette();
Image paintEnemyPalette();
Image paintButtonPalette();
Image paintBulletPalette();

// 32 x 32 RGBA crosshair with a dark outline, readable on bricks and floors.
Image paintCursor();

// Palette indices shared by the painters and the model builders.
namespace kelbo {
enum : int { Hull = 0, HullShade, Accent, AccentDark, Joint, Visor, Glow, Metal, Black, Core };
}
namespace enemy {
enum : int { Armour = 0, ArmourDark, Rust, Black, Eye, Spike, Hazard, Steel, SteelDark, Tooth, Bolt, Rubber };
}
namespace button {
enum : int { Red = 0, RedDark, RedLight, Panel, PanelDark, Yellow, Black, Metal };
}

}  // namespace assetgen
