// Laying out the brick factory: rooms, corridors and stairs as rectangles on a half-unit
// grid, walls derived from the edges of the walkable area, then floors, steps and props.
#include "Level.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <tuple>

#include "Shapes.h"
#include "Textures.h"
#include "scene/ButtonFace.h"

namespace assetgen {

namespace {

// The game moves the level by (0, -1, 0); everything below is laid out in world units.
constexpr double kModelLift = 1.0;

constexpr double kCell = 0.5;  // grid cell, also the thickness of every wall
constexpr double kGridMinX = -12.0;
constexpr double kGridMinZ = -42.0;
constexpr int kGridWidth = 128;  // x up to 52
constexpr int kGridDepth = 108;  // z up to 12
// Outer wall faces reach this far below the lowest floor next to them, so the rooms read
// as built on something when seen from outside.
constexpr double kFoundationDepth = 2.0;
constexpr double kStepHeight = 0.5;

struct Rect {
  double x0, x1, z0, z1;  // x0 < x1, z0 < z1
};

// A walkable area: its floor height and how high its walls stand above it.
struct Zone {
  Rect area;
  double floorY;
  double wallHeight;
  const char* material;  // floor material
  // A raised platform standing on a lower floor: its open edges get hazard-striped skirts.
  bool platform = false;
};

// Steel steps, each one unit deep and half a unit high, climbing +x or -z from baseY.
struct Stair {
  Rect area;
  bool climbsAlongX;  // +x; otherwise -z
  int steps;
  double baseY;
};

enum class PropKind { Crate, Pillar, Machine };

struct Prop {
  PropKind kind;
  double x, z;          // centre
  double width, depth;  // along x and z
  double height;
  double floorY;
};

// Start room around the origin (both enemies and the robot start here), a corridor north to
// the second room under light 1, stairs east up to the hall under lights 2 and 3 (whose north
// side is an open edge over the void), two steps up into the room under light 4, and stairs
// north to the button room under light 5. In the button room a firing step stands against
// the back wall west of the button: from its top the robot's shoulder is level with the
// button and the player camera looks down on the whole of it.
const Zone kZones[] = {
    {{-5.5, 5.5, -7.0, 5.0}, -1.0, 3.0, "floor"},           // start room
    {{2.0, 5.5, -13.0, -7.0}, -1.0, 3.0, "floor"},          // corridor to the second room
    {{2.0, 12.0, -22.0, -13.0}, -1.0, 3.0, "floor"},        // second room
    {{20.0, 34.0, -24.5, -14.0}, 3.0, 3.0, "floor"},        // hall
    {{20.0, 23.0, -25.0, -24.5}, 3.0, 3.0, "floor"},        // hall, north strip west of the edge
    {{23.0, 30.0, -25.0, -24.5}, 3.0, 3.0, "hazard"},       // hall, the open edge
    {{30.0, 34.0, -25.0, -24.5}, 3.0, 3.0, "floor"},        // hall, north strip east of the edge
    {{36.0, 37.0, -22.5, -18.5}, 4.0, 3.0, "floor"},        // landing after the two steps
    {{37.0, 44.0, -25.0, -16.0}, 4.0, 3.0, "floor"},        // fourth room
    {{38.0, 48.0, -36.5, -29.0}, 6.0, 3.5, "floor"},        // button room
    {{38.0, 41.5, -34.0, -33.0}, 6.5, 3.0, "floor", true},  // button room, the firing step's stair
    {{38.0, 41.5, -36.5, -34.0}, 7.0, 2.5, "floor", true},  // button room, the firing step's top
};

const Stair kStairs[] = {
    {{12.0, 20.0, -19.5, -15.5}, true, 8, -1.0},  // second room up to the hall
    {{34.0, 36.0, -22.5, -18.5}, true, 2, 3.0},   // hall up to the fourth room
    {{40.0, 44.0, -29.0, -25.0}, false, 4, 4.0},  // fourth room up to the button room
};

// Cells that stay open: no wall is raised beside them, so the robot can walk off there.
const Rect kOpenEdges[] = {{23.0, 30.0, -25.5, -25.0}};

// Props stay clear of the walking route (see tests/support/LevelRoute.h), of the enemies'
// start places and of the lines from the robot's start to them, except the machine on the
// firing step, which stops the robot at its firing place; none is higher than 1.6, so no
// prop lets the robot jump over a wall.
const Prop kProps[] = {
    // start room
    {PropKind::Crate, -4.8, -6.3, 0.8, 0.8, 0.8, -1.0},
    {PropKind::Crate, -3.85, -6.4, 0.6, 0.6, 0.6, -1.0},
    {PropKind::Crate, -4.9, 4.3, 1.0, 1.0, 1.0, -1.0},
    {PropKind::Pillar, 2.5, -4.0, 0.8, 0.8, 3.0, -1.0},
    {PropKind::Pillar, -2.5, 1.5, 0.8, 0.8, 3.0, -1.0},
    {PropKind::Machine, -4.75, -2.0, 1.3, 1.8, 1.6, -1.0},
    // second room
    {PropKind::Crate, 2.8, -21.2, 1.0, 1.0, 1.0, -1.0},
    {PropKind::Crate, 4.0, -21.3, 0.8, 0.8, 0.8, -1.0},
    {PropKind::Crate, 11.2, -13.8, 1.0, 1.0, 1.0, -1.0},
    {PropKind::Machine, 7.5, -21.2, 2.4, 1.2, 1.6, -1.0},
    // hall
    {PropKind::Pillar, 24.0, -22.8, 0.8, 0.8, 3.0, 3.0},
    {PropKind::Pillar, 30.0, -22.8, 0.8, 0.8, 3.0, 3.0},
    {PropKind::Crate, 20.8, -14.8, 1.0, 1.0, 1.0, 3.0},
    {PropKind::Crate, 33.2, -24.2, 1.0, 1.0, 1.0, 3.0},
    {PropKind::Crate, 32.1, -24.3, 0.8, 0.8, 0.8, 3.0},
    {PropKind::Machine, 27.0, -14.7, 2.4, 1.0, 1.6, 3.0},
    // fourth room
    {PropKind::Crate, 37.8, -16.8, 1.0, 1.0, 1.0, 4.0},
    {PropKind::Crate, 37.8, -24.2, 1.0, 1.0, 1.0, 4.0},
    {PropKind::Crate, 38.9, -24.3, 0.8, 0.8, 0.8, 4.0},
    // button room
    {PropKind::Crate, 38.8, -29.8, 1.0, 1.0, 1.0, 6.0},
    {PropKind::Crate, 47.2, -29.8, 1.0, 1.0, 1.0, 6.0},
    {PropKind::Crate, 47.2, -35.7, 1.0, 1.0, 1.0, 6.0},
    {PropKind::Crate, 46.1, -35.8, 0.8, 0.8, 0.8, 6.0},
    {PropKind::Machine, 39.0, -36.0, 2.0, 0.9, 1.6, 7.0},
};

// The button's niche in the button room's back wall (world units). The niche is deeper than
// a bullet is long, so a shot reaches the button's plane at z = -36.5 before any wall.
constexpr double kBackWallZ = -36.5;
constexpr double kNicheX0 = 42.25;
constexpr double kNicheX1 = 43.95;
constexpr double kNicheY0 = 7.0;
constexpr double kNicheY1 = 9.0;
constexpr double kNicheBackZ = -36.95;
// The button's fixed box in the wall plane, which the game culls the button by.
using varn::scene::kButtonFaceX0;
using varn::scene::kButtonFaceX1;
using varn::scene::kButtonFaceY0;
using varn::scene::kButtonFaceY1;

enum class CellKind { Empty, Walk, Open };

struct Cell {
  CellKind kind = CellKind::Empty;
  double floorY = 0.0;    // walkable cells: the height robots stand on
  double wallTop = 0.0;   // walkable cells: how high a wall beside them reaches
  bool platform = false;  // walkable cells: part of a raised platform
  bool slab = false;      // a wall cell: empty, next to a walkable one
  double cap = 0.0;       // wall cells: top
  double base = 0.0;      // wall cells: bottom of the outer faces
};

class Grid {
 public:
  Grid() : cells(kGridWidth * kGridDepth) {}

  Cell& at(int i, int j) { return cells[j * kGridWidth + i]; }
  const Cell& at(int i, int j) const { return cells[j * kGridWidth + i]; }

  template <typename Fn>
  void forRect(const Rect& rect, Fn fn) {
    for (int j = 0; j < kGridDepth; ++j)
      for (int i = 0; i < kGridWidth; ++i) {
        const double cx = kGridMinX + (i + 0.5) * kCell;
        const double cz = kGridMinZ + (j + 0.5) * kCell;
        if (cx > rect.x0 && cx < rect.x1 && cz > rect.z0 && cz < rect.z1) fn(at(i, j));
      }
  }

  void raiseWalls() {
    for (int j = 1; j < kGridDepth - 1; ++j)
      for (int i = 1; i < kGridWidth - 1; ++i) {
        Cell& cell = at(i, j);
        if (cell.kind != CellKind::Empty) continue;
        bool first = true;
        for (int dj = -1; dj <= 1; ++dj)
          for (int di = -1; di <= 1; ++di) {
            const Cell& next = at(i + di, j + dj);
            if (next.kind != CellKind::Walk) continue;
            if (first) {
              cell.cap = next.wallTop;
              cell.base = next.floorY - kFoundationDepth;
              first = false;
            }
            cell.cap = std::max(cell.cap, next.wallTop);
            cell.base = std::min(cell.base, next.floorY - kFoundationDepth);
          }
        cell.slab = !first;
      }
  }

 private:
  std::vector<Cell> cells;
};

double cellX(int i) { return kGridMinX + i * kCell; }
double cellZ(int j) { return kGridMinZ + j * kCell; }

glm::dvec3 toModel(double x, double worldY, double z) { return glm::dvec3(x, worldY + kModelLift, z); }

// A rectangle facing the room in the plane z (x from rect.x to rect.y, y from rect.z to rect.w),
// one palette cell's colour with the texture rectangle uv spread across it.
Face wallRectangle(const glm::dvec4& rect, double z, const glm::dvec2& cell, const glm::dvec4& uv) {
  Face face = makeFace({toModel(rect.x, rect.z, z), toModel(rect.y, rect.z, z), toModel(rect.y, rect.w, z),
                        toModel(rect.x, rect.w, z)},
                       cell);
  spreadUv(face, glm::dvec3(1, 0, 0), glm::dvec3(0, 1, 0), uv);
  return face;
}

// An upright quad in the plane `axis` = plane (axis X or Z), facing `facing` (+1 or -1)
// along that axis, spanning [a0, a1] along the other horizontal axis and [y0, y1] (world).
// Texture coordinates map the bricks texture at 2 world units a tile.
Face uprightQuad(Axis axis, double plane, int facing, double a0, double a1, double y0, double y1, double uvScale) {
  const glm::dvec3 normal = axis == Axis::X ? glm::dvec3(facing, 0, 0) : glm::dvec3(0, 0, facing);
  const glm::dvec3 right = glm::cross(glm::dvec3(0, 1, 0), normal);
  const auto point = [&](double a, double y) { return axis == Axis::X ? toModel(plane, y, a) : toModel(a, y, plane); };
  // Left and right as seen from the front.
  const double along = axis == Axis::X ? right.z : right.x;
  const double left = along > 0 ? a0 : a1;
  const double rightEnd = along > 0 ? a1 : a0;
  std::vector<glm::dvec3> corners = {point(left, y0), point(rightEnd, y0), point(rightEnd, y1), point(left, y1)};
  std::vector<glm::dvec2> uvs;
  for (const glm::dvec3& c : corners)
    uvs.emplace_back(glm::dot(glm::dvec3(c.x, 0, c.z), right) / uvScale, (c.y - kModelLift) / uvScale);
  return makeFace(corners, uvs);
}

// A horizontal quad at world height y facing up (or down), texture at `uvScale` units a tile.
Face flatQuad(const Rect& r, double y, bool facingUp, double uvScale) {
  std::vector<glm::dvec3> corners = {toModel(r.x0, y, r.z1), toModel(r.x1, y, r.z1), toModel(r.x1, y, r.z0),
                                     toModel(r.x0, y, r.z0)};
  if (!facingUp) std::reverse(corners.begin(), corners.end());
  std::vector<glm::dvec2> uvs;
  for (const glm::dvec3& c : corners) uvs.emplace_back(c.x / uvScale, -c.z / uvScale);
  return makeFace(corners, uvs);
}

class LevelBuilder {
 public:
  ObjModel build() {
    model.addMaterial("floor", "floor_plates.png");
    model.addMaterial("hazard", "hazard_stripes.png");
    model.addMaterial("bricks", "bricks.png");
    model.addMaterial("coping", "coping.png");
    model.addMaterial("steps", "steps.png");
    model.addMaterial("crate", "crate.png");
    model.addMaterial("machine", "machine.png");
    model.addMaterial("button", "button_palette.png");

    layOutGrid();
    addFloors();
    addWalls();
    addCaps();
    addSteps();
    addProps();
    addButtonSurround();
    return model;
  }

 private:
  void addPiece(const std::string& prefix, const std::string& material, const Face& face) {
    MeshObject& object = model.addObject(prefix + "_" + std::to_string(++pieceCount), material);
    object.faces.push_back(face);
  }

  void layOutGrid() {
    for (const Zone& zone : kZones)
      grid.forRect(zone.area, [&](Cell& cell) {
        cell.kind = CellKind::Walk;
        cell.floorY = zone.floorY;
        cell.wallTop = zone.floorY + zone.wallHeight;
        cell.platform = zone.platform;
      });
    for (const Stair& stair : kStairs)
      for (int k = 0; k < stair.steps; ++k) {
        const double top = stair.baseY + kStepHeight * (k + 1);
        grid.forRect(stepArea(stair, k), [&](Cell& cell) {
          cell.kind = CellKind::Walk;
          cell.floorY = top;
          cell.wallTop = top + 3.0;
        });
      }
    for (const Rect& open : kOpenEdges)
      grid.forRect(open, [&](Cell& cell) {
        if (cell.kind == CellKind::Empty) cell.kind = CellKind::Open;
      });
    grid.raiseWalls();
  }

  static Rect stepArea(const Stair& stair, int k) {
    if (stair.climbsAlongX) return Rect{stair.area.x0 + k, stair.area.x0 + k + 1, stair.area.z0, stair.area.z1};
    return Rect{stair.area.x0, stair.area.x1, stair.area.z1 - k - 1, stair.area.z1 - k};
  }

  void addFloors() {
    for (const Zone& zone : kZones) {
      const bool hazard = std::string(zone.material) == "hazard";
      addPiece("floor", zone.material, flatQuad(zone.area, zone.floorY, true, hazard ? 1.0 : 2.0));
    }
  }

  // Upright faces along grid edges, merged into the longest runs with the same height span.
  void addWalls() {
    // (axis, plane index, facing, y0, y1, skirt) -> positions along the edge line
    std::map<std::tuple<int, int, int, double, double, bool>, std::vector<int>> runs;
    const auto record = [&](int axis, int plane, int facing, double y0, double y1, int along, bool skirt = false) {
      if (y1 > y0) runs[{axis, plane, facing, y0, y1, skirt}].push_back(along);
    };
    // a is the cell on the low side of the edge, b on the high side.
    const auto edge = [&](const Cell& a, const Cell& b, int axis, int plane, int along) {
      const bool aWalk = a.kind == CellKind::Walk;
      const bool bWalk = b.kind == CellKind::Walk;
      if (aWalk && b.slab) record(axis, plane, -1, a.floorY, b.cap, along);
      if (bWalk && a.slab) record(axis, plane, +1, b.floorY, a.cap, along);
      if (a.slab && !b.slab && !bWalk) record(axis, plane, +1, a.base, a.cap, along);
      if (b.slab && !a.slab && !aWalk) record(axis, plane, -1, b.base, b.cap, along);
      if (a.slab && b.slab && a.cap < b.cap) record(axis, plane, -1, a.cap, b.cap, along);
      if (a.slab && b.slab && b.cap < a.cap) record(axis, plane, +1, b.cap, a.cap, along);
      // A platform's edge over a lower floor: a skirt from that floor up to the platform's top.
      if (aWalk && bWalk && a.platform && a.floorY > b.floorY) record(axis, plane, +1, b.floorY, a.floorY, along, true);
      if (aWalk && bWalk && b.platform && b.floorY > a.floorY) record(axis, plane, -1, a.floorY, b.floorY, along, true);
    };
    for (int j = 0; j < kGridDepth; ++j)
      for (int i = 0; i + 1 < kGridWidth; ++i) edge(grid.at(i, j), grid.at(i + 1, j), 0, i + 1, j);
    for (int j = 0; j + 1 < kGridDepth; ++j)
      for (int i = 0; i < kGridWidth; ++i) edge(grid.at(i, j), grid.at(i, j + 1), 1, j + 1, i);

    for (auto& [key, positions] : runs) {
      const auto [axis, plane, facing, y0, y1, skirt] = key;
      std::sort(positions.begin(), positions.end());
      std::size_t start = 0;
      while (start < positions.size()) {
        std::size_t end = start + 1;
        while (end < positions.size() && positions[end] == positions[end - 1] + 1) ++end;
        const int first = positions[start];
        const int last = positions[end - 1] + 1;
        if (skirt && axis == 0)
          addPiece("skirt", "hazard",
                   uprightQuad(Axis::X, cellX(plane), facing, cellZ(first), cellZ(last), y0, y1, 1.0));
        else if (skirt)
          addPiece("skirt", "hazard",
                   uprightQuad(Axis::Z, cellZ(plane), facing, cellX(first), cellX(last), y0, y1, 1.0));
        else if (axis == 0)
          addWall(Axis::X, cellX(plane), facing, cellZ(first), cellZ(last), y0, y1);
        else
          addWall(Axis::Z, cellZ(plane), facing, cellX(first), cellX(last), y0, y1);
        start = end;
      }
    }
  }

  void addWall(Axis axis, double plane, int facing, double a0, double a1, double y0, double y1) {
    const bool backWall = axis == Axis::Z && plane == kBackWallZ && facing == +1 && a0 < kNicheX0 && a1 > kNicheX1 &&
                          y0 < kNicheY0 && y1 > kNicheY1;
    if (!backWall) {
      addPiece("wall", "bricks", uprightQuad(axis, plane, facing, a0, a1, y0, y1, 2.0));
      return;
    }
    // The back wall of the button room frames the button's niche.
    addPiece("wall", "bricks", uprightQuad(axis, plane, facing, a0, kNicheX0, y0, y1, 2.0));
    addPiece("wall", "bricks", uprightQuad(axis, plane, facing, kNicheX1, a1, y0, y1, 2.0));
    addPiece("wall", "bricks", uprightQuad(axis, plane, facing, kNicheX0, kNicheX1, y0, kNicheY0, 2.0));
    addPiece("wall", "bricks", uprightQuad(axis, plane, facing, kNicheX0, kNicheX1, kNicheY1, y1, 2.0));
    addPiece("niche", "bricks", uprightQuad(Axis::Z, kNicheBackZ, +1, kNicheX0, kNicheX1, kNicheY0, kNicheY1, 2.0));
    addPiece("niche", "bricks", uprightQuad(Axis::X, kNicheX0, +1, kNicheBackZ, kBackWallZ, kNicheY0, kNicheY1, 2.0));
    addPiece("niche", "bricks", uprightQuad(Axis::X, kNicheX1, -1, kNicheBackZ, kBackWallZ, kNicheY0, kNicheY1, 2.0));
    const Rect nicheFloor{kNicheX0, kNicheX1, kNicheBackZ, kBackWallZ};
    addPiece("niche", "coping", flatQuad(nicheFloor, kNicheY0, true, 1.0));
    addPiece("niche", "coping", flatQuad(nicheFloor, kNicheY1, false, 1.0));
  }

  // Wall tops, merged greedily into rectangles of one height.
  void addCaps() {
    std::vector<bool> done(kGridWidth * kGridDepth, false);
    for (int j = 0; j < kGridDepth; ++j)
      for (int i = 0; i < kGridWidth; ++i) {
        const Cell& cell = grid.at(i, j);
        if (!cell.slab || done[j * kGridWidth + i]) continue;
        const auto matches = [&](int ci, int cj) {
          return ci < kGridWidth && cj < kGridDepth && grid.at(ci, cj).slab && !done[cj * kGridWidth + ci] &&
                 grid.at(ci, cj).cap == cell.cap;
        };
        int width = 1;
        while (matches(i + width, j)) ++width;
        int depth = 1;
        while (true) {
          bool rowMatches = true;
          for (int di = 0; di < width && rowMatches; ++di) rowMatches = matches(i + di, j + depth);
          if (!rowMatches) break;
          ++depth;
        }
        for (int dj = 0; dj < depth; ++dj)
          for (int di = 0; di < width; ++di) done[(j + dj) * kGridWidth + i + di] = true;
        const Rect area{cellX(i), cellX(i + width), cellZ(j), cellZ(j + depth)};
        addPiece("cap", "coping", flatQuad(area, cell.cap, true, 1.0));
      }
  }

  // Each step is a solid: its tread and its riser (the sides are against the walls and
  // the back is hidden under the next step).
  void addSteps() {
    const double inset = 1.0 / 256.0;  // keeps the atlas halves from bleeding into each other
    for (const Stair& stair : kStairs)
      for (int k = 0; k < stair.steps; ++k) {
        const Rect area = stepArea(stair, k);
        const double top = stair.baseY + kStepHeight * (k + 1);
        const double bottom = top - kStepHeight;
        MeshObject& step = model.addObject("step_" + std::to_string(++pieceCount), "steps");
        const glm::dvec3 climb = stair.climbsAlongX ? glm::dvec3(1, 0, 0) : glm::dvec3(0, 0, -1);
        // Tread: the top half of the atlas, v from the nosing to the back of the step.
        Face tread = flatQuad(area, top, true, 1.0);
        spreadUv(tread, glm::cross(climb, glm::dvec3(0, 1, 0)), climb, glm::dvec4(0.0, 0.5 + inset, 1.0, 1.0 - inset));
        step.faces.push_back(tread);
        // Riser: the bottom half, facing down the stair.
        Face riser = stair.climbsAlongX ? uprightQuad(Axis::X, area.x0, -1, area.z0, area.z1, bottom, top, 1.0)
                                        : uprightQuad(Axis::Z, area.z1, +1, area.x0, area.x1, bottom, top, 1.0);
        spreadUv(riser, glm::cross(glm::dvec3(0, 1, 0), riser.normal), glm::dvec3(0, 1, 0),
                 glm::dvec4(0.0, inset, 1.0, 0.5 - inset));
        step.faces.push_back(riser);
      }
  }

  void addProps() {
    for (const Prop& prop : kProps) {
      const glm::dvec3 low(prop.x - prop.width * 0.5, prop.floorY, prop.z - prop.depth * 0.5);
      const glm::dvec3 high(prop.x + prop.width * 0.5, prop.floorY + prop.height, prop.z + prop.depth * 0.5);
      const char* const names[] = {"crate_", "pillar_", "machine_"};
      const char* const materials[] = {"crate", "bricks", "machine"};
      const int kind = static_cast<int>(prop.kind);
      MeshObject& object = model.addObject(names[kind] + std::to_string(++pieceCount), materials[kind]);
      // Four sides and the top; nothing ever sees the bottom.
      const Rect area{low.x, high.x, low.z, high.z};
      object.faces.push_back(flatQuad(area, high.y, true, 2.0));
      object.faces.push_back(uprightQuad(Axis::X, low.x, -1, low.z, high.z, low.y, high.y, 2.0));
      object.faces.push_back(uprightQuad(Axis::X, high.x, +1, low.z, high.z, low.y, high.y, 2.0));
      object.faces.push_back(uprightQuad(Axis::Z, low.z, -1, low.x, high.x, low.y, high.y, 2.0));
      object.faces.push_back(uprightQuad(Axis::Z, high.z, +1, low.x, high.x, low.y, high.y, 2.0));
      if (prop.kind == PropKind::Pillar) continue;
      // Crates and machines show their whole painted side on every face.
      for (Face& face : object.faces) {
        const glm::dvec3 worldUp = face.normal.y > 0.5 ? glm::dvec3(0, 0, -1) : glm::dvec3(0, 1, 0);
        const glm::dvec3 right = glm::cross(worldUp, face.normal);
        spreadUv(face, right, glm::cross(face.normal, right), glm::dvec4(0.0, 0.0, 1.0, 1.0));
      }
    }
  }

  // A hazard-striped frame round the button's niche, standing off the bricks, and an amber
  // warning lamp above it: the goal reads as such from across the room. They overhang the
  // button's own box, so each bar and the lamp is a piece of its own, culled by its own box;
  // and as every piece also stops the robot and bullets, no bar may cover the button's face.
  void addButtonSurround() {
    const double frame = 0.2;
    const double frameZ = kBackWallZ + 0.03;
    const double outerX0 = kNicheX0 - frame, outerX1 = kNicheX1 + frame;
    const double outerY0 = kNicheY0 - frame, outerY1 = kNicheY1 + frame;
    const glm::dvec4 bars[4] = {{outerX0, outerX1, outerY0, kNicheY0},
                                {outerX0, outerX1, kNicheY1, outerY1},
                                {outerX0, kNicheX0, kNicheY0, kNicheY1},
                                {kNicheX1, outerX1, kNicheY0, kNicheY1}};
    const glm::dvec2 stripesLow = paletteDetail(0, 0.0, 0.0);
    const glm::dvec2 stripesHigh = paletteDetail(0, 1.0, 1.0);
    // The whole tile spans the frame's width, so the stripes keep one size on every bar.
    const glm::dvec2 perUnit = (stripesHigh - stripesLow) / (outerX1 - outerX0);
    for (const glm::dvec4& bar : bars) {
      const glm::dvec4 uv(stripesLow.x, stripesLow.y, stripesLow.x + perUnit.x * (bar.y - bar.x),
                          stripesLow.y + perUnit.y * (bar.w - bar.z));
      addPiece("frame", "button", wallRectangle(bar, frameZ, paletteCell(button::Yellow), uv));
    }
    addNicheLips();
    const double lampX = (kNicheX0 + kNicheX1) * 0.5;
    MeshObject& lamp = model.addObject("lamp_" + std::to_string(++pieceCount), "button");
    addTaperedBox(lamp, outerY1 + kModelLift, glm::dvec4(lampX - 0.22, lampX + 0.22, kBackWallZ - 0.05, -36.3),
                  outerY1 + 0.25 + kModelLift, glm::dvec4(lampX - 0.12, lampX + 0.12, kBackWallZ - 0.05, -36.4),
                  paletteCell(button::Yellow));
  }

  // The niche's opening is wider than the button's box; strips in the wall plane close it down
  // to that box, so whatever lies in the niche is seen only through the box that culls it. They
  // carry on the stripes of the panel behind them, which is what showed there before.
  void addNicheLips() {
    const glm::dvec4 lips[4] = {{kNicheX0, kNicheX1, kNicheY0, kButtonFaceY0},
                                {kNicheX0, kNicheX1, kButtonFaceY1, kNicheY1},
                                {kNicheX0, kButtonFaceX0, kButtonFaceY0, kButtonFaceY1},
                                {kButtonFaceX1, kNicheX1, kButtonFaceY0, kButtonFaceY1}};
    const auto stripes = [](double x, double y) {
      return paletteDetail(0, (x - kNicheX0) / (kNicheX1 - kNicheX0), (y - kNicheY0) / (kNicheY1 - kNicheY0));
    };
    for (const glm::dvec4& lip : lips) {
      const glm::dvec2 low = stripes(lip.x, lip.z), high = stripes(lip.y, lip.w);
      addPiece("lip", "button",
               wallRectangle(lip, kBackWallZ, paletteCell(button::PanelDark), glm::dvec4(low.x, low.y, high.x, high.y)));
    }
  }

  Grid grid;
  ObjModel model;
  int pieceCount = 0;
};

}  // namespace

ObjModel buildLevel() { return LevelBuilder().build(); }

ObjModel buildButton() {
  ObjModel model;
  model.addMaterial("button", "button_palette.png");
  MeshObject& button = model.addObject("destruction_button", "button");
  // A dark panel with a hazard-striped face fills the niche; its face is a little behind the
  // wall plane, and covers the button's box x 42.4..43.8, y 7.1..8.9.
  const double panelFront = -36.62;
  addBox(button, glm::dvec3(kNicheX0 + 0.02, kNicheY0 + 0.02, kNicheBackZ),
         glm::dvec3(kNicheX1 - 0.02, kNicheY1 - 0.02, panelFront), paletteCell(button::PanelDark));
  applyDetailToLastSolid(button, 6, glm::dvec3(0, 0, 1), 0);
  // A black collar, then the red mushroom button standing proud of the wall plane z = -36.5.
  const double centreX = 43.1;
  const double centreY = 8.0;
  const double eighth = 3.14159265358979323846 / 8.0;
  addPrism(button, Axis::Z, regularPolygon(8, centreX, centreY, 0.62, eighth), panelFront, -36.57,
           paletteCell(button::Black), paletteCell(button::Black));
  addPrism(button, Axis::Z, regularPolygon(8, centreX, centreY, 0.52, eighth), -36.57, -36.45,
           paletteCell(button::RedDark), paletteCell(button::Red));
  // The domed cap: from the rim of the button to a smaller face that carries the warning mark.
  const std::vector<glm::dvec2> rim = regularPolygon(8, centreX, centreY, 0.52, eighth);
  const std::vector<glm::dvec2> top = regularPolygon(8, centreX, centreY, 0.36, eighth);
  const double rimZ = -36.45;
  const double topZ = -36.38;
  for (int i = 0; i < 8; ++i) {
    const int j = (i + 1) % 8;
    button.faces.push_back(makeFace(
        {glm::dvec3(rim[i], rimZ), glm::dvec3(rim[j], rimZ), glm::dvec3(top[j], topZ), glm::dvec3(top[i], topZ)},
        paletteCell(button::Red)));
  }
  std::vector<glm::dvec3> face;
  for (const glm::dvec2& p : top) face.emplace_back(p, topZ);
  Face cap = makeFace(face, paletteCell(button::Red));
  const glm::dvec2 low = paletteDetail(1, 0.0, 0.0);
  const glm::dvec2 high = paletteDetail(1, 1.0, 1.0);
  spreadUv(cap, glm::dvec3(1, 0, 0), glm::dvec3(0, 1, 0), glm::dvec4(low.x, low.y, high.x, high.y));
  button.faces.push_back(cap);
  return model;
}

}  // namespace assetgen
