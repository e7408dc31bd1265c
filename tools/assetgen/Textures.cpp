// Painters for every texture of the game. Each one is a pure function of pixel
// coordinates and fixed seeds; the tiling ones use noise whose period divides the image.
#include "Textures.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

// Raised diamond-tread bars of factory floor plate, alternating in direction from cell to
// cell. (px, py) in world units, cell size 0.25 units. Returns +1 on a bar, -1 in the
// bar's shadow, 0 elsewhere.
int treadPattern(double px, double py) {
  const double cell = 0.25;
  const auto barAt = [&](double qx, double qy) {
    const int qcx = static_cast<int>(std::floor(qx / cell));
    const int qcy = static_cast<int>(std::floor(qy / cell));
    const double lx = qx - (qcx + 0.5) * cell;
    const double ly = qy - (qcy + 0.5) * cell;
    const bool rising = ((qcx + qcy) % 2 + 2) % 2 == 0;
    const double along = (rising ? (lx + ly) : (lx - ly)) * 0.70710678;
    const double across = (rising ? (lx - ly) : (lx + ly)) * 0.70710678;
    return std::abs(across) < 0.022 && std::abs(along) < 0.08;
  };
  if (barAt(px, py)) return 1;
  if (barAt(px - 0.012, py - 0.012)) return -1;
  return 0;
}

Colour steelPlate(double worldX, double worldY, int x, int y, uint32_t seed, int noisePeriod) {
  Colour colour = rgb(0.50, 0.52, 0.55);
  const int tread = treadPattern(worldX, worldY);
  if (tread > 0) colour = shade(colour, 1.22);
  if (tread < 0) colour = shade(colour, 0.82);
  const double grime = fractalNoise(x / 32.0, y / 32.0, noisePeriod, 4, seed);
  colour = shade(colour, 0.78 + 0.3 * grime);
  const double rust = fractalNoise(x / 16.0, y / 16.0, noisePeriod * 2, 3, seed + 7);
  if (rust > 0.66) colour = mix(colour, rgb(0.46, 0.24, 0.11), std::min(1.0, (rust - 0.66) * 3.0));
  const double grain = hashUnit(x, y, seed + 13);
  return shade(colour, 0.96 + 0.08 * grain);
}

Colour hazard(bool yellow, double wear) {
  Colour colour = yellow ? rgb(0.96, 0.76, 0.10) : rgb(0.09, 0.09, 0.09);
  if (wear > 0.7) colour = mix(colour, rgb(0.45, 0.46, 0.47), std::min(1.0, (wear - 0.7) * 4.0));
  return colour;
}

Image paintPaletteImage(const Palette& palette) {
  Image image(64, 64);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) {
      const int index = (y / 8) * 8 + x / 8;
      const Colour colour = index < static_cast<int>(palette.cells.size()) ? palette.cells[index] : rgb(0.5, 0.5, 0.5);
      image.set(x, y, colour);
    }
  return image;
}

// Calls paint(s, t) for every pixel of a detail tile; s to the right, t upwards, both 0..1.
template <typename Paint>
void paintDetail(Image& image, int tile, Paint paint) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const double s = (x + 0.5) / 32.0;
      const double t = 1.0 - (y + 0.5) / 32.0;
      image.set(tile * 32 + x, 32 + y, paint(s, t));
    }
}

}  // namespace

Image paintBricks() {
  const int size = 256;
  const int rowHeight = 32;
  const int brickLength = 64;
  const int mortar = 4;
  Image image(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const int row = y / rowHeight;
      const int yIn = y % rowHeight;
      const int shifted = (x + (row % 2) * (brickLength / 2)) % size;
      const int column = shifted / brickLength;
      const int xIn = shifted % brickLength;
      const double grain = fractalNoise(x / 8.0, y / 8.0, size / 8, 3, 11);
      const double fine = hashUnit(x, y, 14);

      bool inMortar = xIn < mortar || yIn < mortar;
      const int edgeLeft = xIn - mortar;
      const int edgeRight = brickLength - 1 - xIn;
      const int edgeTop = yIn - mortar;
      const int edgeBottom = rowHeight - 1 - yIn;
      const int edge = std::min(std::min(edgeLeft, edgeRight), std::min(edgeTop, edgeBottom));
      // Worn corners: the brick edge is eaten away where the noise is high.
      if (!inMortar && edge < 2 && grain > 0.62) inMortar = true;

      Colour colour;
      if (inMortar) {
        colour = shade(rgb(0.60, 0.57, 0.52), 0.8 + 0.3 * grain + 0.08 * fine);
        // The mortar just under a brick lies in its shadow.
        if (yIn < mortar && yIn >= 1) colour = shade(colour, 0.86);
      } else {
        const double kind = hashUnit(column, row, 7);
        Colour base = rgb(0.58, 0.22, 0.14);
        if (kind < 0.12)
          base = rgb(0.34, 0.14, 0.10);
        else if (kind < 0.32)
          base = rgb(0.47, 0.17, 0.11);
        else if (kind > 0.86)
          base = rgb(0.68, 0.34, 0.19);
        const double brightness = 0.9 + 0.2 * hashUnit(column, row, 8);
        colour = shade(base, brightness * (0.86 + 0.26 * grain) * (0.95 + 0.1 * fine));
        if (edgeTop < 3) colour = shade(colour, 1.1);
        if (edgeLeft < 2) colour = shade(colour, 1.05);
        if (edgeBottom < 3) colour = shade(colour, 0.8);
        if (edgeRight < 2) colour = shade(colour, 0.88);
        // Soot streaks on some bricks.
        const double soot = fractalNoise(x / 16.0, y / 64.0, size / 16, 2, 15);
        if (soot > 0.7) colour = shade(colour, 1.0 - (soot - 0.7) * 1.2);
      }
      image.set(x, y, colour);
    }
  return image;
}

Image paintFloorPlates() {
  const int size = 256;
  const int plate = 128;  // one world unit
  Image image(size, size);
  const int rivets[4][2] = {{12, 12}, {115, 12}, {12, 115}, {115, 115}};
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const int plateX = x / plate;
      const int plateY = y / plate;
      const int lx = x % plate;
      const int ly = y % plate;
      Colour colour = steelPlate(x / 128.0, y / 128.0, x, y, 21, size / 32);
      colour = shade(colour, 0.94 + 0.12 * hashUnit(plateX, plateY, 23));
      // Bevelled plate edges, lit from the top left, and the dark seam between plates.
      if (lx < 6 || ly < 6) colour = shade(colour, 1.12);
      if (lx > plate - 7 || ly > plate - 7) colour = shade(colour, 0.78);
      if (lx < 2 || ly < 2) colour = rgb(0.08, 0.08, 0.09);
      for (const auto& rivet : rivets) {
        const double dx = lx + 0.5 - rivet[0];
        const double dy = ly + 0.5 - rivet[1];
        const double distance = std::sqrt(dx * dx + dy * dy);
        if (distance < 4.5)
          colour = shade(rgb(0.62, 0.63, 0.65), 1.25 - 0.06 * (dx + dy) - 0.05 * distance);
        else if (distance < 5.5)
          colour = shade(colour, 0.7);
      }
      image.set(x, y, colour);
    }
  return image;
}

Image paintCoping() {
  const int size = 128;
  Image image(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double cloud = fractalNoise(x / 16.0, y / 16.0, size / 16, 4, 31);
      Colour colour = shade(rgb(0.62, 0.60, 0.56), 0.8 + 0.3 * cloud);
      const double speck = hashUnit(x, y, 32);
      if (speck < 0.04) colour = shade(colour, 0.7);
      if (speck > 0.97) colour = shade(colour, 1.15);
      if (x < 2 || y < 2) colour = shade(colour, 0.55);
      image.set(x, y, colour);
    }
  return image;
}

Image paintHazardStripes() {
  const int size = 128;  // one world unit; stripes every half unit
  Image image(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const bool yellow = (x + y) % 64 < 32;
      const double wear = fractalNoise(x / 16.0, y / 16.0, size / 16, 4, 41);
      Colour colour = hazard(yellow, wear);
      colour = shade(colour, 0.92 + 0.1 * hashUnit(x, y, 42));
      image.set(x, y, colour);
    }
  return image;
}

Image paintSteps() {
  const int size = 256;
  Image image(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      Colour colour;
      if (y < 128) {
        // Tread: 4 units across (64 px a unit), 1 unit deep (128 px a unit); the nosing
        // is the bottom rows of this half.
        const double worldX = x / 64.0;
        const double worldDepth = y / 128.0;
        colour = steelPlate(worldX, worldDepth, x, y, 51, size / 32);
        if (y >= 108) {
          const bool yellow = static_cast<int>(std::floor((worldX + worldDepth) / 0.25)) % 2 == 0;
          colour = hazard(yellow, fractalNoise(x / 16.0, y / 16.0, 16, 3, 52));
        }
        if (y >= 126 || y < 2) colour = shade(colour, 0.6);
      } else {
        // Riser: 4 units across, 0.5 units high (256 px a unit upwards).
        const double worldX = x / 64.0;
        const double worldUp = (y - 128) / 256.0;
        const bool yellow = static_cast<int>(std::floor((worldX + worldUp) / 0.25)) % 2 == 0;
        colour = hazard(yellow, fractalNoise(x / 16.0, y / 16.0, 16, 3, 53));
        if (y < 136 || y > 247) colour = shade(rgb(0.45, 0.46, 0.48), 0.9 + 0.1 * hashUnit(x, y, 54));
        if (y < 130) colour = shade(colour, 1.2);
      }
      image.set(x, y, colour);
    }
  return image;
}

Image paintCrate() {
  const int size = 128;
  const int frame = 14;
  Image image(size, size);
  const Colour wood = rgb(0.66, 0.46, 0.25);
  const Colour frameWood = rgb(0.46, 0.30, 0.16);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const bool inFrame = x < frame || y < frame || x >= size - frame || y >= size - frame;
      // The brace runs from the bottom left to the top right.
      const double braceDistance = std::abs((x + 0.5) - (size - (y + 0.5))) * 0.70710678;
      const bool inBrace = braceDistance < 8.0;
      Colour colour;
      if (inFrame || inBrace) {
        const double grain = fractalNoise(inFrame && (y < frame || y >= size - frame) ? x / 24.0 : y / 24.0,
                                          inFrame && (y < frame || y >= size - frame) ? y / 3.0 : x / 3.0, 64, 3, 61);
        colour = shade(frameWood, 0.8 + 0.35 * grain);
        const bool frameEdge = inFrame && (x == frame - 1 || y == frame - 1 || x == size - frame || y == size - frame ||
                                           x == 0 || y == 0 || x == size - 1 || y == size - 1);
        if (frameEdge) colour = shade(colour, 0.55);
        if (!inFrame && std::abs(braceDistance - 8.0) < 1.0) colour = shade(colour, 0.6);
      } else {
        const int plank = (y - frame) / 25;
        const int plankY = (y - frame) % 25;
        const double grain = fractalNoise(x / 24.0, y / 2.5, 64, 3, 62 + plank);
        colour = shade(wood, (0.82 + 0.3 * grain) * (0.92 + 0.14 * hashUnit(plank, 0, 63)));
        if (plankY < 2) colour = shade(colour, 0.45);
      }
      // Nails at the frame corners.
      const int nails[4][2] = {{7, 7}, {size - 8, 7}, {7, size - 8}, {size - 8, size - 8}};
      for (const auto& nail : nails) {
        const int dx = x - nail[0];
        const int dy = y - nail[1];
        if (dx * dx + dy * dy <= 4) colour = rgb(0.3, 0.3, 0.32);
      }
      image.set(x, y, colour);
    }
  return image;
}

Image paintMachine() {
  const int size = 128;
  Image image(size, size);
  const Colour paint = rgb(0.32, 0.42, 0.36);
  const auto inBox = [](int x, int y, int x0, int y0, int x1, int y1) {
    return x >= x0 && x < x1 && y >= y0 && y < y1;
  };
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double wear = fractalNoise(x / 16.0, y / 16.0, 8, 3, 71);
      Colour colour = shade(paint, 0.85 + 0.25 * wear);
      if (wear > 0.72) colour = mix(colour, rgb(0.5, 0.5, 0.52), (wear - 0.72) * 2.5);
      // Panel border and corner bolts.
      if (x < 4 || y < 4 || x >= size - 4 || y >= size - 4) colour = shade(paint, 0.55);
      const int bolts[4][2] = {{9, 9}, {size - 10, 9}, {9, size - 10}, {size - 10, size - 10}};
      for (const auto& bolt : bolts)
        if ((x - bolt[0]) * (x - bolt[0]) + (y - bolt[1]) * (y - bolt[1]) <= 5) colour = rgb(0.7, 0.7, 0.68);
      // Screen with a trace on it.
      if (inBox(x, y, 16, 16, 76, 56)) {
        colour = rgb(0.04, 0.12, 0.07);
        const double trace = 36.0 + 10.0 * std::sin((x - 16) * 0.21) * std::cos((x - 16) * 0.05);
        if (std::abs(y - trace) < 1.5) colour = rgb(0.3, 1.0, 0.45);
        if ((x - 16) % 12 == 0 || (y - 16) % 10 == 0) colour = mix(colour, rgb(0.1, 0.3, 0.15), 0.5);
      }
      if (inBox(x, y, 14, 14, 78, 58) && !inBox(x, y, 16, 16, 76, 56)) colour = rgb(0.12, 0.12, 0.13);
      // Two gauges.
      for (const int gx : {92, 112}) {
        const double dx = x + 0.5 - gx;
        const double dy = y + 0.5 - 30;
        const double r = std::sqrt(dx * dx + dy * dy);
        if (r < 9.0) colour = rgb(0.92, 0.9, 0.82);
        if (r >= 9.0 && r < 10.5) colour = rgb(0.15, 0.15, 0.16);
        // The needle points up and to the right.
        if (r < 8.0 && std::abs(dx * 0.8 + dy * 0.6) < 0.9 && dx > 0) colour = rgb(0.85, 0.1, 0.05);
      }
      // Vent slats.
      if (inBox(x, y, 16, 70, 112, 100) && (y - 70) % 6 < 3) colour = rgb(0.08, 0.08, 0.09);
      // Warning stripe along the bottom.
      if (inBox(x, y, 4, 108, size - 4, 120))
        colour = ((x + y) % 16 < 8) ? rgb(0.96, 0.76, 0.1) : rgb(0.09, 0.09, 0.09);
      image.set(x, y, colour);
    }
  return image;
}

glm::dvec2 paletteCell(int index) {
  const int column = index % 8;
  const int row = index / 8;
  return glm::dvec2((column + 0.5) / 8.0, 1.0 - (row + 0.5) / 8.0);
}

glm::dvec2 paletteDetail(int tile, double s, double t) {
  // Keep half a texel inside the tile so bilinear filtering never reads a neighbour.
  const double inset = 0.5 / 32.0;
  s = inset + s * (1.0 - 2.0 * inset);
  t = inset + t * (1.0 - 2.0 * inset);
  return glm::dvec2((tile + s) * 0.5, t * 0.5);
}

Image paintKelboPalette() {
  Palette palette;
  palette.cells = {rgb(0.93, 0.93, 0.90), rgb(0.70, 0.72, 0.75), rgb(0.14, 0.44, 0.95), rgb(0.07, 0.21, 0.55),
                   rgb(0.20, 0.21, 0.24), rgb(0.25, 0.95, 1.00), rgb(1.00, 0.60, 0.10), rgb(0.55, 0.57, 0.60),
                   rgb(0.06, 0.06, 0.07), rgb(1.00, 0.90, 0.40)};
  Image image = paintPaletteImage(palette);
  // Left tile: the chest emblem, a white gear on cobalt blue.
  paintDetail(image, 0, [](double s, double t) {
    const double dx = s - 0.5;
    const double dy = t - 0.5;
    const double radius = std::sqrt(dx * dx + dy * dy);
    const double angle = std::atan2(dy, dx);
    const double tooth = std::cos(angle * 8.0) > 0.2 ? 0.40 : 0.32;
    Colour colour = rgb(0.14, 0.44, 0.95);
    if (s < 0.06 || t < 0.06 || s > 0.94 || t > 0.94) colour = rgb(0.07, 0.21, 0.55);
    if (radius < tooth && radius > 0.14) colour = rgb(0.93, 0.93, 0.90);
    if (radius <= 0.09) colour = rgb(1.00, 0.60, 0.10);
    return colour;
  });
  // Right tile: a vent grille.
  paintDetail(image, 1, [](double s, double t) {
    Colour colour = rgb(0.55, 0.57, 0.60);
    if (s > 0.1 && s < 0.9 && t > 0.1 && t < 0.9) {
      const double slat = std::fmod(t * 6.0, 1.0);
      colour = slat < 0.55 ? rgb(0.08, 0.08, 0.09) : rgb(0.45, 0.47, 0.5);
    }
    return colour;
  });
  return image;
}

Image paintEnemyPalette() {
  Palette palette;
  palette.cells = {rgb(0.30, 0.32, 0.35), rgb(0.16, 0.17, 0.19), rgb(0.55, 0.20, 0.10), rgb(0.05, 0.05, 0.05),
                   rgb(1.00, 0.12, 0.05), rgb(0.75, 0.72, 0.68), rgb(0.95, 0.75, 0.10), rgb(0.78, 0.80, 0.83),
                   rgb(0.45, 0.47, 0.50), rgb(0.95, 0.95, 0.92), rgb(0.85, 0.65, 0.20), rgb(0.10, 0.10, 0.11)};
  Image image = paintPaletteImage(palette);
  // Left tile: yellow and black chevrons for the chest plate.
  paintDetail(image, 0, [](double s, double t) {
    const double chevron = std::fmod(t * 3.0 + std::abs(s - 0.5) * 3.0, 1.0);
    Colour colour = chevron < 0.5 ? rgb(0.95, 0.75, 0.10) : rgb(0.06, 0.06, 0.06);
    if (s < 0.07 || s > 0.93 || t < 0.07 || t > 0.93) colour = rgb(0.55, 0.20, 0.10);
    return colour;
  });
  // Right tile: the grille mouth, teeth over a red glow.
  paintDetail(image, 1, [](double s, double t) {
    Colour colour = rgb(0.05, 0.05, 0.05);
    if (t > 0.25 && t < 0.75) {
      const double tooth = std::fmod(s * 7.0, 1.0);
      const double edge = std::abs(t - 0.5) * 4.0;
      colour = tooth < 0.5 - 0.4 * (1.0 - edge) ? rgb(0.95, 0.95, 0.92) : rgb(0.9, 0.12, 0.04);
    }
    return colour;
  });
  return image;
}

Image paintButtonPalette() {
  Palette palette;
  palette.cells = {rgb(0.92, 0.08, 0.05), rgb(0.55, 0.03, 0.02), rgb(1.00, 0.45, 0.35), rgb(0.35, 0.37, 0.40),
                   rgb(0.18, 0.19, 0.21), rgb(0.98, 0.78, 0.10), rgb(0.06, 0.06, 0.06), rgb(0.70, 0.72, 0.75)};
  Image image = paintPaletteImage(palette);
  // Left tile: hazard stripes for the frame.
  paintDetail(image, 0, [](double s, double t) {
    const bool yellow = std::fmod((s + t) * 4.0, 1.0) < 0.5;
    return yellow ? rgb(0.98, 0.78, 0.10) : rgb(0.06, 0.06, 0.06);
  });
  // Right tile: the red face with a highlight and a white warning mark.
  paintDetail(image, 1, [](double s, double t) {
    const double dx = s - 0.42;
    const double dy = t - 0.62;
    Colour colour =
        mix(rgb(0.95, 0.10, 0.06), rgb(0.60, 0.03, 0.02), std::min(1.0, std::sqrt(dx * dx + dy * dy) * 1.6));
    const bool bar = std::abs(s - 0.5) < 0.07 && t > 0.38 && t < 0.8;
    const bool dot = (s - 0.5) * (s - 0.5) + (t - 0.25) * (t - 0.25) < 0.07 * 0.07;
    if (bar || dot) colour = rgb(0.97, 0.95, 0.9);
    return colour;
  });
  return image;
}

Image paintBulletPalette() {
  Palette palette;
  palette.cells = {rgb(0.55, 1.00, 1.00), rgb(0.95, 1.00, 1.00), rgb(0.20, 0.85, 0.95), rgb(1.00, 0.95, 0.55)};
  return paintPaletteImage(palette);
}

Image paintCursor() {
  const int size = 32;
  const double centre = 16.5;  // the middle of pixel 16, the cursor's hot spot
  Image image(size, size);
  const auto segmentDistance = [](double px, double py, double ax, double ay, double bx, double by) {
    const double vx = bx - ax;
    const double vy = by - ay;
    const double t = std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
    const double dx = px - (ax + t * vx);
    const double dy = py - (ay + t * vy);
    return std::sqrt(dx * dx + dy * dy);
  };
  const auto shapeDistance = [&](double px, double py) {
    const double dx = px - centre;
    const double dy = py - centre;
    double distance = std::abs(std::sqrt(dx * dx + dy * dy) - 8.0) - 0.8;
    const double arms[4][4] = {{3.5, 0, 13.0, 0}, {-3.5, 0, -13.0, 0}, {0, 3.5, 0, 13.0}, {0, -3.5, 0, -13.0}};
    for (const auto& arm : arms)
      distance = std::min(distance, segmentDistance(dx, dy, arm[0], arm[1], arm[2], arm[3]) - 0.8);
    distance = std::min(distance, std::sqrt(dx * dx + dy * dy) - 1.0);
    return distance;
  };
  const Colour core = rgb(0.35, 1.0, 0.55);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      // 4 x 4 samples per pixel for smooth edges.
      int coreSamples = 0;
      int outlineSamples = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
          const double distance = shapeDistance(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0);
          if (distance < 0.0)
            ++coreSamples;
          else if (distance < 1.3)
            ++outlineSamples;
        }
      const double coreCover = coreSamples / 16.0;
      const double outlineCover = outlineSamples / 16.0;
      const double alpha = std::min(1.0, coreCover + outlineCover * 0.9);
      Colour colour(0.0, 0.0, 0.0, alpha);
      if (alpha > 0.0) {
        const double coreShare = coreCover / alpha;
        colour = Colour(core.r * coreShare, core.g * coreShare, core.b * coreShare, alpha);
      }
      image.set(x, y, colour);
    }
  return image;
}

}  // namespace assetgen
