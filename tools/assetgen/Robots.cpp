// Low-poly robots assembled from boxes, tapered boxes, prisms and pyramids; every face
// takes one palette colour (or a detail tile), which suits the cel shading.
#include "Robots.h"

#include <cmath>

#include "Shapes.h"
#include "Textures.h"

namespace assetgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

glm::dvec2 cellOf(int index) { return paletteCell(index); }

}  // namespace

ObjModel buildKelbo() {
  using namespace kelbo;
  ObjModel model;
  model.addMaterial("kelbo", "kelbo_palette.png");
  MeshObject& body = model.addObject("kelbo", "kelbo");

  for (const double side : {-1.0, 1.0}) {
    const double x = side * 0.95;
    // Foot, ankle, shin with knee pad, thigh.
    addTaperedBox(body, 0.0, glm::dvec4(x - 0.65, x + 0.65, -1.35, 0.8), 0.55,
                  glm::dvec4(x - 0.55, x + 0.55, -1.05, 0.7), cellOf(AccentDark));
    addBox(body, glm::dvec3(x - 0.35, 0.55, -0.35), glm::dvec3(x + 0.35, 0.85, 0.35), cellOf(Joint));
    addTaperedBox(body, 0.85, glm::dvec4(x - 0.45, x + 0.45, -0.5, 0.45), 2.0, glm::dvec4(x - 0.5, x + 0.5, -0.55, 0.5),
                  cellOf(Hull));
    addBox(body, glm::dvec3(x - 0.4, 1.75, -0.7), glm::dvec3(x + 0.4, 2.35, -0.4), cellOf(Accent));
    addBox(body, glm::dvec3(x - 0.38, 2.0, -0.38), glm::dvec3(x + 0.38, 2.9, 0.38), cellOf(Joint));
  }

  // Pelvis, belt, torso widening to the shoulders, chest plate with the gear emblem.
  addTaperedBox(body, 2.8, glm::dvec4(-1.3, 1.3, -0.6, 0.6), 3.4, glm::dvec4(-1.5, 1.5, -0.75, 0.75), cellOf(Joint));
  addTaperedBox(body, 3.3, glm::dvec4(-1.45, 1.45, -0.95, 0.95), 6.2, glm::dvec4(-1.95, 1.95, -1.2, 1.1), cellOf(Hull));
  addBox(body, glm::dvec3(-1.52, 3.25, -1.02), glm::dvec3(1.52, 3.55, 0.99), cellOf(AccentDark));
  addBox(body, glm::dvec3(-1.1, 4.5, -1.32), glm::dvec3(1.1, 5.9, -1.0), cellOf(Accent));
  applyDetailToLastSolid(body, 6, glm::dvec3(0, 0, -1), 0);

  // Backpack with its vent and two exhausts.
  addBox(body, glm::dvec3(-1.2, 3.9, 1.0), glm::dvec3(1.2, 5.9, 1.75), cellOf(HullShade));
  applyDetailToLastSolid(body, 6, glm::dvec3(0, 0, 1), 1);
  for (const double side : {-1.0, 1.0}) {
    addBox(body, glm::dvec3(side * 0.7 - 0.18, 5.9, 1.2), glm::dvec3(side * 0.7 + 0.18, 6.5, 1.55), cellOf(Metal));
    addBox(body, glm::dvec3(side * 0.7 - 0.12, 6.5, 1.26), glm::dvec3(side * 0.7 + 0.12, 6.56, 1.49), cellOf(Glow));
  }

  // Neck, head, visor, ear pods, antenna.
  addBox(body, glm::dvec3(-0.45, 6.15, -0.4), glm::dvec3(0.45, 6.55, 0.4), cellOf(Joint));
  addTaperedBox(body, 6.5, glm::dvec4(-1.0, 1.0, -0.85, 0.85), 7.75, glm::dvec4(-0.85, 0.85, -0.72, 0.75),
                cellOf(Hull));
  addBox(body, glm::dvec3(-0.82, 6.85, -0.98), glm::dvec3(0.82, 7.35, -0.6), cellOf(Visor));
  for (const double side : {-1.0, 1.0})
    addBox(body, glm::dvec3(side > 0 ? 0.95 : -1.22, 6.75, -0.35), glm::dvec3(side > 0 ? 1.22 : -0.95, 7.35, 0.35),
           cellOf(Accent));
  addBox(body, glm::dvec3(0.5, 7.7, -0.05), glm::dvec3(0.6, 8.0, 0.05), cellOf(Metal));
  addBox(body, glm::dvec3(0.45, 8.0, -0.1), glm::dvec3(0.65, 8.2, 0.1), cellOf(Glow));

  // Shoulders and arms.
  for (const double side : {-1.0, 1.0}) {
    const auto span = [side](double inner, double outer) {
      return side > 0 ? glm::dvec2(inner, outer) : glm::dvec2(-outer, -inner);
    };
    const glm::dvec2 shoulderLow = span(1.85, 2.75);
    const glm::dvec2 shoulderHigh = span(1.9, 2.65);
    addTaperedBox(body, 5.3, glm::dvec4(shoulderLow.x, shoulderLow.y, -0.7, 0.7), 6.45,
                  glm::dvec4(shoulderHigh.x, shoulderHigh.y, -0.6, 0.6), cellOf(Accent));
    const glm::dvec2 upper = span(2.05, 2.6);
    addBox(body, glm::dvec3(upper.x, 4.3, -0.32), glm::dvec3(upper.y, 5.35, 0.32), cellOf(Joint));
    const glm::dvec2 elbow = span(1.98, 2.68);
    addBox(body, glm::dvec3(elbow.x, 3.9, -0.4), glm::dvec3(elbow.y, 4.3, 0.4), cellOf(Metal));
    const glm::dvec2 forearm = span(1.95, 2.72);
    addTaperedBox(body, 2.9, glm::dvec4(forearm.x, forearm.y, -0.45, 0.45), 3.9,
                  glm::dvec4(forearm.x, forearm.y, -0.4, 0.4), cellOf(Hull));
    const glm::dvec2 fist = span(2.05, 2.6);
    addBox(body, glm::dvec3(fist.x, 2.5, -0.38), glm::dvec3(fist.y, 2.9, 0.38), cellOf(Joint));
  }

  // Shoulder cannon on the right: the shots leave at 6 units, in front of its muzzle.
  addBox(body, glm::dvec3(1.95, 6.45, -0.35), glm::dvec3(2.6, 6.65, 0.35), cellOf(Joint));
  addBox(body, glm::dvec3(2.0, 6.65, -1.6), glm::dvec3(2.55, 7.15, 0.5), cellOf(AccentDark));
  addPrism(body, Axis::Z, regularPolygon(8, 2.275, 6.9, 0.2, kPi / 8.0), -2.3, -1.6, cellOf(Metal), cellOf(Metal));
  addPrism(body, Axis::Z, regularPolygon(8, 2.275, 6.9, 0.25, kPi / 8.0), -2.45, -2.3, cellOf(Black), cellOf(Black));
  addPrism(body, Axis::Z, regularPolygon(8, 2.275, 6.9, 0.12, kPi / 8.0), -2.48, -2.45, cellOf(Glow), cellOf(Glow));
  return model;
}

ObjModel buildEnemyBody() {
  using namespace enemy;
  ObjModel model;
  model.addMaterial("enemy", "enemy_palette.png");
  MeshObject& body = model.addObject("enemy_body", "enemy");

  // Treads with their wheel hubs.
  const std::vector<glm::dvec2> treadProfile = {{-0.85, -0.55}, {-1.0, -0.42}, {-1.0, 0.42},
                                                {-0.85, 0.55},  {-0.62, 0.42}, {-0.62, -0.42}};
  for (const double side : {-1.0, 1.0}) {
    const double inner = side * 0.28;
    const double outer = side * 0.56;
    addPrism(body, Axis::X, treadProfile, std::min(inner, outer), std::max(inner, outer), cellOf(ArmourDark),
             cellOf(Rubber));
    for (const double z : {-0.3, 0.3}) {
      const double hubInner = outer;
      const double hubOuter = side * 0.6;
      addPrism(body, Axis::X, regularPolygon(6, -0.81, z, 0.12, 0.0), std::min(hubInner, hubOuter),
               std::max(hubInner, hubOuter), cellOf(Bolt), cellOf(SteelDark));
    }
  }

  // Chassis, waist and the hunched torso leaning forward (+z), with its chevron plate.
  addBox(body, glm::dvec3(-0.3, -0.78, -0.36), glm::dvec3(0.3, -0.55, 0.36), cellOf(ArmourDark));
  addTaperedBox(body, -0.58, glm::dvec4(-0.22, 0.22, -0.2, 0.2), -0.3, glm::dvec4(-0.3, 0.3, -0.25, 0.25),
                cellOf(Black));
  addTaperedBox(body, -0.32, glm::dvec4(-0.36, 0.36, -0.26, 0.3), 0.45, glm::dvec4(-0.56, 0.56, -0.3, 0.42),
                cellOf(Armour));
  addBox(body, glm::dvec3(-0.3, -0.15, 0.2), glm::dvec3(0.3, 0.3, 0.43), cellOf(Rust));
  applyDetailToLastSolid(body, 6, glm::dvec3(0, 0, 1), 0);
  for (const double side : {-1.0, 1.0}) {
    addBox(body, glm::dvec3(side * 0.2 - 0.07, 0.3, -0.32), glm::dvec3(side * 0.2 + 0.07, 0.7, -0.2),
           cellOf(SteelDark));
    addBox(body, glm::dvec3(side * 0.2 - 0.05, 0.7, -0.3), glm::dvec3(side * 0.2 + 0.05, 0.72, -0.22), cellOf(Black));
  }

  // Shoulder armour with spikes.
  for (const double side : {-1.0, 1.0}) {
    const double inner = side * 0.45;
    const double outer = side * 0.72;
    const double outerTop = side * 0.66;
    addTaperedBox(body, 0.2, glm::dvec4(std::min(inner, outer), std::max(inner, outer), -0.28, 0.28), 0.5,
                  glm::dvec4(std::min(inner, outerTop), std::max(inner, outerTop), -0.22, 0.22), cellOf(Rust));
    for (const double z : {-0.1, 0.1}) {
      const double x0 = std::min(side * 0.5, side * 0.64);
      const double x1 = std::max(side * 0.5, side * 0.64);
      addPyramid(body,
                 {glm::dvec3(x0, 0.5, z - 0.07), glm::dvec3(x1, 0.5, z - 0.07), glm::dvec3(x1, 0.5, z + 0.07),
                  glm::dvec3(x0, 0.5, z + 0.07)},
                 glm::dvec3(side * 0.68, z < 0 ? 0.8 : 0.95, z), cellOf(Spike));
    }
  }

  // Head sunk between the shoulders: red eye slit, grille mouth, horns.
  addTaperedBox(body, 0.4, glm::dvec4(-0.26, 0.26, -0.05, 0.44), 0.68, glm::dvec4(-0.2, 0.2, 0.0, 0.36),
                cellOf(ArmourDark));
  addBox(body, glm::dvec3(-0.2, 0.5, 0.36), glm::dvec3(0.2, 0.58, 0.47), cellOf(Eye));
  addBox(body, glm::dvec3(-0.16, 0.41, 0.3), glm::dvec3(0.16, 0.48, 0.46), cellOf(Black));
  applyDetailToLastSolid(body, 6, glm::dvec3(0, 0, 1), 1);
  for (const double side : {-1.0, 1.0}) {
    const double x0 = std::min(side * 0.08, side * 0.18);
    const double x1 = std::max(side * 0.08, side * 0.18);
    addPyramid(
        body,
        {glm::dvec3(x0, 0.68, 0.1), glm::dvec3(x1, 0.68, 0.1), glm::dvec3(x1, 0.68, 0.2), glm::dvec3(x0, 0.68, 0.2)},
        glm::dvec3(side * 0.24, 0.98, 0.05), cellOf(Spike));
  }

  // Left arm ending in a two-fingered claw.
  addBox(body, glm::dvec3(-0.7, -0.05, -0.09), glm::dvec3(-0.56, 0.25, 0.09), cellOf(Black));
  addTaperedBox(body, -0.4, glm::dvec4(-0.72, -0.54, -0.1, 0.16), -0.05, glm::dvec4(-0.7, -0.56, -0.1, 0.12),
                cellOf(Armour));
  for (const double x : {-0.68, -0.58})
    addPyramid(body,
               {glm::dvec3(x - 0.04, -0.4, 0.02), glm::dvec3(x + 0.04, -0.4, 0.02), glm::dvec3(x + 0.04, -0.4, 0.14),
                glm::dvec3(x - 0.04, -0.4, 0.14)},
               glm::dvec3(x, -0.6, 0.32), cellOf(Steel));

  // Right arm holding the saw's axle on the x axis.
  addBox(body, glm::dvec3(0.56, 0.1, -0.09), glm::dvec3(0.7, 0.3, 0.09), cellOf(Black));
  addBox(body, glm::dvec3(0.58, 0.0, -0.1), glm::dvec3(0.72, 0.25, 0.1), cellOf(Armour));
  addBox(body, glm::dvec3(0.6, -0.11, -0.11), glm::dvec3(0.74, 0.11, 0.11), cellOf(SteelDark));
  return model;
}

ObjModel buildEnemySaw() {
  using namespace enemy;
  ObjModel model;
  model.addMaterial("enemy", "enemy_palette.png");
  MeshObject& saw = model.addObject("enemy_saw", "enemy");

  // Outline in the (y, z) plane, counter-clockwise seen from +x: a valley then a tip per
  // tooth, so each tooth has a gentle back and a steep front.
  const int teeth = 14;
  const double tipRadius = 0.5;
  const double valleyRadius = 0.41;
  std::vector<glm::dvec2> outline;
  for (int i = 0; i < teeth; ++i) {
    const double angle = 2.0 * kPi * i / teeth;
    const double tipAngle = angle + 0.8 * 2.0 * kPi / teeth;
    outline.emplace_back(valleyRadius * std::cos(angle), valleyRadius * std::sin(angle));
    outline.emplace_back(tipRadius * std::cos(tipAngle), tipRadius * std::sin(tipAngle));
  }
  const double inner = 0.78;
  const double outer = 0.84;
  const auto at = [](double x, const glm::dvec2& p) { return glm::dvec3(x, p.x, p.y); };
  // Both sides as fans of triangles, in alternating shades so the spin shows.
  for (std::size_t i = 0; i < outline.size(); ++i) {
    const glm::dvec2& a = outline[i];
    const glm::dvec2& b = outline[(i + 1) % outline.size()];
    const glm::dvec2 uv = cellOf((i / 2) % 2 == 0 ? Steel : SteelDark);
    saw.faces.push_back(makeFace({at(outer, glm::dvec2(0.0)), at(outer, a), at(outer, b)}, uv));
    saw.faces.push_back(makeFace({at(inner, glm::dvec2(0.0)), at(inner, b), at(inner, a)}, uv));
  }
  for (std::size_t i = 0; i < outline.size(); ++i) {
    const glm::dvec2& a = outline[i];
    const glm::dvec2& b = outline[(i + 1) % outline.size()];
    saw.faces.push_back(makeFace({at(inner, a), at(inner, b), at(outer, b), at(outer, a)}, cellOf(Tooth)));
  }
  // The hub, an axle through the blade into the arm's fork.
  addPrism(saw, Axis::X, regularPolygon(6, 0.0, 0.0, 0.09, 0.0), 0.68, 0.9, cellOf(Hazard), cellOf(SteelDark));
  return model;
}

ObjModel buildBullet() {
  ObjModel model;
  model.addMaterial("bullet", "bullet_palette.png");
  MeshObject& bullet = model.addObject("bullet", "bullet");
  const double phi = (1.0 + std::sqrt(5.0)) / 2.0;
  const double scale = 0.1 / std::sqrt(1.0 + phi * phi);
  std::vector<glm::dvec3> v = {{-1, phi, 0},  {1, phi, 0},  {-1, -phi, 0}, {1, -phi, 0}, {0, -1, phi},  {0, 1, phi},
                               {0, -1, -phi}, {0, 1, -phi}, {phi, 0, -1},  {phi, 0, 1},  {-phi, 0, -1}, {-phi, 0, 1}};
  for (glm::dvec3& p : v) p *= scale;
  const int faces[20][3] = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
                            {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
                            {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
  for (int i = 0; i < 20; ++i)
    addOutwardFace(bullet, {v[faces[i][0]], v[faces[i][1]], v[faces[i][2]]}, glm::dvec3(0.0),
                   paletteCell(i % 2 == 0 ? 0 : 1));
  return model;
}

}  // namespace assetgen
