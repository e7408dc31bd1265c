// Building the solids of Shapes.h out of flat faces.
#include "Shapes.h"

#include <algorithm>
#include <cmath>

#include "Textures.h"

namespace assetgen {

namespace {

glm::dvec3 centroid(const std::vector<glm::dvec3>& points) {
  glm::dvec3 sum(0.0);
  for (const glm::dvec3& point : points) sum += point;
  return sum / static_cast<double>(points.size());
}

glm::dvec3 fromPlane(Axis axis, const glm::dvec2& p, double along) {
  switch (axis) {
    case Axis::X:
      return glm::dvec3(along, p.x, p.y);
    case Axis::Y:
      return glm::dvec3(p.y, along, p.x);
    case Axis::Z:
    default:
      return glm::dvec3(p.x, p.y, along);
  }
}

}  // namespace

void addOutwardFace(MeshObject& object, std::vector<glm::dvec3> points, const glm::dvec3& inside,
                    const glm::dvec2& uv) {
  Face face = makeFace(points, uv);
  if (glm::dot(face.normal, centroid(points) - inside) < 0.0) {
    std::reverse(points.begin(), points.end());
    face = makeFace(points, uv);
  }
  object.faces.push_back(face);
}

void addHexahedron(MeshObject& object, const std::array<glm::dvec3, 8>& c, const glm::dvec2& uv) {
  const glm::dvec3 inside = centroid(std::vector<glm::dvec3>(c.begin(), c.end()));
  const int faces[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
  for (const auto& f : faces) addOutwardFace(object, {c[f[0]], c[f[1]], c[f[2]], c[f[3]]}, inside, uv);
}

void addBox(MeshObject& object, const glm::dvec3& low, const glm::dvec3& high, const glm::dvec2& uv) {
  addTaperedBox(object, low.y, glm::dvec4(low.x, high.x, low.z, high.z), high.y,
                glm::dvec4(low.x, high.x, low.z, high.z), uv);
}

void addTaperedBox(MeshObject& object, double y0, const glm::dvec4& bottom, double y1, const glm::dvec4& top,
                   const glm::dvec2& uv) {
  std::array<glm::dvec3, 8> corners;
  for (int i = 0; i < 8; ++i) {
    const bool highY = (i & 2) != 0;
    const glm::dvec4& rect = highY ? top : bottom;
    corners[i] = glm::dvec3((i & 1) ? rect.y : rect.x, highY ? y1 : y0, (i & 4) ? rect.w : rect.z);
  }
  addHexahedron(object, corners, uv);
}

void addPrism(MeshObject& object, Axis axis, const std::vector<glm::dvec2>& given, double from, double to,
              const glm::dvec2& capUv, const glm::dvec2& sideUv) {
  // Turned counter-clockwise (seen from +axis) if given the other way round; then these
  // corner orders face outwards.
  double twiceArea = 0.0;
  for (std::size_t i = 0; i < given.size(); ++i) {
    const glm::dvec2& a = given[i];
    const glm::dvec2& b = given[(i + 1) % given.size()];
    twiceArea += a.x * b.y - b.x * a.y;
  }
  std::vector<glm::dvec2> polygon = given;
  if (twiceArea < 0.0) std::reverse(polygon.begin(), polygon.end());
  std::vector<glm::dvec3> high;
  std::vector<glm::dvec3> low;
  for (const glm::dvec2& p : polygon) high.push_back(fromPlane(axis, p, to));
  for (auto it = polygon.rbegin(); it != polygon.rend(); ++it) low.push_back(fromPlane(axis, *it, from));
  object.faces.push_back(makeFace(high, capUv));
  object.faces.push_back(makeFace(low, capUv));
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const glm::dvec2& a = polygon[i];
    const glm::dvec2& b = polygon[(i + 1) % polygon.size()];
    object.faces.push_back(makeFace(
        {fromPlane(axis, a, from), fromPlane(axis, b, from), fromPlane(axis, b, to), fromPlane(axis, a, to)}, sideUv));
  }
}

std::vector<glm::dvec2> regularPolygon(int sides, double centreA, double centreB, double radius, double startAngle) {
  std::vector<glm::dvec2> points;
  for (int i = 0; i < sides; ++i) {
    const double angle = startAngle + 2.0 * 3.14159265358979323846 * i / sides;
    points.emplace_back(centreA + radius * std::cos(angle), centreB + radius * std::sin(angle));
  }
  return points;
}

void addPyramid(MeshObject& object, const std::vector<glm::dvec3>& base, const glm::dvec3& apex, const glm::dvec2& uv) {
  std::vector<glm::dvec3> all = base;
  all.push_back(apex);
  const glm::dvec3 inside = centroid(all);
  addOutwardFace(object, base, inside, uv);
  for (std::size_t i = 0; i < base.size(); ++i)
    addOutwardFace(object, {base[i], base[(i + 1) % base.size()], apex}, inside, uv);
}

void spreadUv(Face& face, const glm::dvec3& uDirection, const glm::dvec3& vDirection, const glm::dvec4& rect) {
  double minS = 1e9, maxS = -1e9, minT = 1e9, maxT = -1e9;
  for (const Corner& corner : face.corners) {
    minS = std::min(minS, glm::dot(corner.position, uDirection));
    maxS = std::max(maxS, glm::dot(corner.position, uDirection));
    minT = std::min(minT, glm::dot(corner.position, vDirection));
    maxT = std::max(maxT, glm::dot(corner.position, vDirection));
  }
  for (Corner& corner : face.corners) {
    const double s = maxS > minS ? (glm::dot(corner.position, uDirection) - minS) / (maxS - minS) : 0.0;
    const double t = maxT > minT ? (glm::dot(corner.position, vDirection) - minT) / (maxT - minT) : 0.0;
    corner.uv = glm::dvec2(rect.x + s * (rect.z - rect.x), rect.y + t * (rect.w - rect.y));
  }
}

void applyDetailToLastSolid(MeshObject& object, int facesOfSolid, const glm::dvec3& direction, int tile) {
  Face* best = nullptr;
  double bestDot = -2.0;
  for (std::size_t i = object.faces.size() - facesOfSolid; i < object.faces.size(); ++i) {
    const double d = glm::dot(object.faces[i].normal, glm::normalize(direction));
    if (d > bestDot) {
      bestDot = d;
      best = &object.faces[i];
    }
  }
  const glm::dvec3 n = best->normal;
  const glm::dvec3 worldUp = std::abs(n.y) > 0.9 ? glm::dvec3(0.0, 0.0, -1.0) : glm::dvec3(0.0, 1.0, 0.0);
  const glm::dvec3 right = glm::normalize(glm::cross(worldUp, n));
  const glm::dvec2 low = paletteDetail(tile, 0.0, 0.0);
  const glm::dvec2 high = paletteDetail(tile, 1.0, 1.0);
  spreadUv(*best, right, glm::cross(n, right), glm::dvec4(low.x, low.y, high.x, high.y));
}

}  // namespace assetgen
