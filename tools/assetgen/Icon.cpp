// Paints the menu icon from signed distance shapes, back to front, each with the black
// outline and two-band shading of the game's cel-shaded robots, 4 x 4 samples a pixel.
#include "Icon.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "Textures.h"

namespace assetgen {

namespace {

using glm::dvec2;

constexpr double kPi = 3.14159265358979323846;
constexpr double kOutline = 4.0;  // pixels of black around every shape
const Colour kInk = rgb(0.05, 0.04, 0.05);

double roundBox(dvec2 p, dvec2 centre, dvec2 half, double radius) {
  const dvec2 q = glm::abs(p - centre) - half + radius;
  return glm::length(glm::max(q, 0.0)) + std::min(std::max(q.x, q.y), 0.0) - radius;
}

double circle(dvec2 p, dvec2 centre, double radius) { return glm::length(p - centre) - radius; }

double segment(dvec2 p, dvec2 a, dvec2 b, double radius) {
  const dvec2 ab = b - a;
  const double t = std::clamp(glm::dot(p - a, ab) / glm::dot(ab, ab), 0.0, 1.0);
  return glm::length(p - (a + t * ab)) - radius;
}

// Signed distance to a closed polygon (negative inside, even-odd rule).
double polygon(dvec2 p, const std::vector<dvec2>& corners) {
  double distance = 1e9;
  bool inside = false;
  for (size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
    const dvec2 a = corners[j];
    const dvec2 b = corners[i];
    distance = std::min(distance, segment(p, a, b, 0.0));
    if ((b.y > p.y) != (a.y > p.y) && p.x < (a.x - b.x) * (p.y - b.y) / (a.y - b.y) + b.x) inside = !inside;
  }
  return inside ? -distance : distance;
}

// Cel shading of a shape lit from the upper left: a highlight band, the base colour and a
// shadow band, chosen by where p lies in the shape's box.
Colour celShade(const Colour& base, dvec2 p, dvec2 centre, dvec2 half) {
  const dvec2 local = (p - centre) / half;
  const double towardsLight = -(local.x * 0.6 + local.y * 0.8);
  if (towardsLight > 0.55) return shade(base, 1.15);
  if (towardsLight < -0.5) return shade(base, 0.7);
  return base;
}

struct Layer {
  std::function<double(dvec2)> distance;
  std::function<Colour(dvec2)> fill;
  double outline = kOutline;
};

Layer box(dvec2 centre, dvec2 half, double radius, const Colour& colour) {
  return {[=](dvec2 p) { return roundBox(p, centre, half, radius); },
          [=](dvec2 p) { return celShade(colour, p, centre, half); }};
}

// Player robot colours, as on its palette.
const Colour kHull = rgb(0.93, 0.93, 0.90);
const Colour kAccent = rgb(0.14, 0.44, 0.95);
const Colour kAccentDark = rgb(0.07, 0.21, 0.55);
const Colour kJoint = rgb(0.20, 0.21, 0.24);
const Colour kVisor = rgb(0.25, 0.95, 1.00);
const Colour kGlow = rgb(1.00, 0.60, 0.10);

// The enemy's saw: 14 raked teeth around a steel disc with a dark hub.
const dvec2 kSawCentre(190, 118);
constexpr double kSawRoot = 48.0;
constexpr double kSawTip = 64.0;
constexpr int kSawTeeth = 14;

std::vector<dvec2> sawOutline() {
  std::vector<dvec2> corners;
  for (int tooth = 0; tooth < kSawTeeth; ++tooth) {
    const double start = 2.0 * kPi * tooth / kSawTeeth;
    const double step = 2.0 * kPi / kSawTeeth;
    corners.push_back(kSawCentre + kSawRoot * dvec2(std::cos(start), std::sin(start)));
    corners.push_back(kSawCentre + kSawTip * dvec2(std::cos(start + step * 0.12), std::sin(start + step * 0.12)));
  }
  return corners;
}

Colour sawSteel(dvec2 p) {
  const dvec2 d = p - kSawCentre;
  const double radius = glm::length(d);
  const double angle = std::atan2(d.y, d.x);
  // Brushed steel: the sheen turns with the angle, as on a spinning disc.
  const double sheen = std::cos(2.0 * (angle + 0.9));
  Colour colour = shade(rgb(0.60, 0.62, 0.66), sheen > 0.4 ? 1.25 : (sheen < -0.4 ? 0.7 : 0.95));
  if (radius > kSawRoot - 3.0) colour = rgb(0.82, 0.84, 0.86);  // the teeth
  if (radius > kSawRoot + 7.0) colour = rgb(0.97, 0.97, 0.94);  // their ground tips
  if (radius < 22.0) colour = rgb(0.45, 0.47, 0.50);
  if (radius < 22.0 && radius > 18.5) colour = kInk;
  for (int bolt = 0; bolt < 5; ++bolt) {
    const double a = 2.0 * kPi * bolt / 5.0 + 0.3;
    if (circle(p, kSawCentre + 12.0 * dvec2(std::cos(a), std::sin(a)), 3.0) < 0.0) colour = rgb(0.85, 0.65, 0.20);
  }
  // Lightening holes, each a dark slot between hub and edge.
  for (int hole = 0; hole < 4; ++hole) {
    const double a = 2.0 * kPi * hole / 4.0 + 0.5;
    const dvec2 from = kSawCentre + 28.0 * dvec2(std::cos(a), std::sin(a));
    const dvec2 to = kSawCentre + 38.0 * dvec2(std::cos(a + 0.35), std::sin(a + 0.35));
    if (segment(p, from, to, 3.5) < 0.0) colour = kInk;
  }
  return colour;
}

// The chest emblem: a white gear on cobalt with an orange core, as on the robot's chest.
Colour emblem(dvec2 p, dvec2 centre, double half) {
  const dvec2 d = (p - centre) / half;
  const double radius = glm::length(d);
  const double tooth = std::cos(std::atan2(d.y, d.x) * 8.0) > 0.2 ? 0.80 : 0.64;
  if (radius <= 0.2) return kGlow;
  if (radius > 0.3 && radius < tooth) return kHull;
  return kAccent;
}

// A shape painted point by point.
Layer painted(std::function<double(dvec2)> distance, std::function<Colour(dvec2)> fill, double outline) {
  return {std::move(distance), std::move(fill), outline};
}

// Spin lines: an arc just outside the saw's teeth, from angle `from` (radians, y down).
double spinLine(dvec2 p, double from) {
  const dvec2 d = p - kSawCentre;
  const double angle = std::atan2(d.y, d.x);
  const double along = std::max(from - angle, angle - (from + 0.28));
  return std::max(std::abs(glm::length(d) - 76.0) - 2.0, along * 76.0);
}

Colour visor(dvec2 p) {
  // A glint across the visor's upper left.
  const double glint = (p.x - 90.0) + (p.y - 78.0) * 1.5;
  return std::abs(glint) < 4.0 && p.y < 86.0 ? rgb(0.9, 1.0, 1.0) : kVisor;
}

std::vector<Layer> iconLayers() {
  using namespace std::placeholders;
  std::vector<Layer> layers;
  for (int streak = 0; streak < 3; ++streak)
    layers.push_back(painted(
        std::bind(spinLine, _1, -2.0 + streak * 0.4), [](dvec2) { return rgb(0.98, 0.92, 0.80); }, 2.0));
  const std::vector<dvec2> saw = sawOutline();
  layers.push_back(painted(std::bind(polygon, _1, saw), sawSteel, kOutline));

  // The player's robot, seen from the front.
  layers.push_back(box({92, 216}, {13, 20}, 4, kAccent));  // legs
  layers.push_back(box({124, 216}, {13, 20}, 4, kAccent));
  layers.push_back(box({90, 234}, {17, 6}, 3, kJoint));  // feet
  layers.push_back(box({126, 234}, {17, 6}, 3, kJoint));
  layers.push_back(box({52, 160}, {14, 30}, 6, kAccent));       // left arm
  layers.push_back(box({108, 162}, {44, 38}, 10, kHull));       // torso
  layers.push_back(box({108, 190}, {32, 6}, 3, kJoint));        // belt
  layers.push_back(box({108, 160}, {20, 20}, 3, kAccentDark));  // emblem plate
  const dvec2 emblemCentre(108, 160);
  layers.push_back(painted(std::bind(roundBox, _1, emblemCentre, dvec2(16, 16), 2.0),
                           std::bind(emblem, _1, emblemCentre, 16.0), 0.0));
  // Right arm with the blaster aimed at the saw; a bullet leaves its muzzle.
  layers.push_back(box({178, 188}, {34, 7}, 3, kJoint));  // barrel
  layers.push_back(box({164, 160}, {14, 30}, 6, kAccent));
  const dvec2 muzzle(222, 188);
  layers.push_back(painted(
      std::bind(circle, _1, muzzle, 7.0),
      [=](dvec2 p) { return mix(rgb(0.95, 1.0, 1.0), rgb(0.20, 0.85, 0.95), glm::length(p - muzzle) / 7.0); }, 3.0));
  layers.push_back(box({108, 119}, {12, 8}, 2, kJoint));  // neck
  layers.push_back(box({66, 86}, {8, 12}, 3, kAccent));   // ears
  layers.push_back(box({150, 86}, {8, 12}, 3, kAccent));
  layers.push_back(box({108, 86}, {38, 30}, 10, kHull));  // head
  layers.push_back(painted(std::bind(roundBox, _1, dvec2(108, 84), dvec2(27, 11), 6.0), visor, 3.0));
  layers.push_back(painted(
      std::bind(segment, _1, dvec2(108, 56), dvec2(108, 38), 2.5), [](dvec2) { return kJoint; }, kOutline));
  layers.push_back(box({108, 32}, {8, 8}, 8, kGlow));  // the glowing ball on the antenna
  return layers;
}

// The tile: the factory's brick wall above a strip of floor plate, darker towards the edges,
// with a warm light behind the robot's head.
Colour background(const Image& bricks, const Image& floor, int x, int y) {
  Colour colour = y < 222 ? bricks.get(x, y) : floor.get(x, y);
  if (y >= 222 && y < 226) colour = shade(colour, 0.45);
  const double dx = (x - 108.0) / 120.0;
  const double dy = (y - 90.0) / 120.0;
  const double light = std::exp(-(dx * dx + dy * dy) * 2.2);
  colour = shade(colour, 0.55 + 0.6 * light);
  return mix(colour, rgb(1.0, 0.55, 0.25), 0.18 * light);
}

}  // namespace

Image paintIcon(int size) {
  // The icon is drawn in the coordinates of its 256-pixel design; smaller sizes sample the
  // same shapes more sparsely, so every size shows one picture, not a rescaled bitmap.
  constexpr double kDesignSize = 256.0;
  const double designPerPixel = kDesignSize / size;
  const dvec2 tileCentre(128, 128);
  const dvec2 tileHalf(122, 122);
  constexpr double tileRadius = 40.0;
  constexpr double tileBorder = 5.0;
  const Image bricks = paintBricks();
  const Image floor = paintFloorPlates();
  const std::vector<Layer> layers = iconLayers();
  Image image(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      // Premultiplied sums over the samples of the pixel.
      Colour sum(0.0);
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
          const dvec2 p = dvec2(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0) * designPerPixel;
          const double tile = roundBox(p, tileCentre, tileHalf, tileRadius);
          if (tile > 0.0) continue;
          const Colour wall = background(bricks, floor, static_cast<int>(p.x), static_cast<int>(p.y));
          Colour colour = tile > -tileBorder ? kInk : wall;
          for (const Layer& layer : layers) {
            const double distance = layer.distance(p);
            if (distance < 0.0)
              colour = layer.fill(p);
            else if (distance < layer.outline)
              colour = kInk;
          }
          // Shapes reaching the tile's edge are cut off under its border.
          if (tile > -tileBorder) colour = kInk;
          sum += Colour(colour.r, colour.g, colour.b, 1.0);
        }
      sum /= 16.0;
      image.set(x, y, sum.a > 0.0 ? Colour(sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a) : Colour(0.0));
    }
  return image;
}

}  // namespace assetgen
