// Solid building blocks for the low-poly models: boxes, tapered boxes, prisms and
// pyramids, each face flat-shaded and textured from one palette cell or a detail tile.
#pragma once

#include <array>
#include <vector>

#include "ObjModel.h"

namespace assetgen {

enum class Axis { X, Y, Z };

// A face whose corner order is turned so that its normal points away from `inside`.
void addOutwardFace(MeshObject& object, std::vector<glm::dvec3> points, const glm::dvec3& inside, const glm::dvec2& uv);

// Corner i of `corners` has x high if bit 0 is set, y high if bit 1, z high if bit 2; the
// six faces must be planar (boxes and tapered boxes are).
void addHexahedron(MeshObject& object, const std::array<glm::dvec3, 8>& corners, const glm::dvec2& uv);
void addBox(MeshObject& object, const glm::dvec3& low, const glm::dvec3& high, const glm::dvec2& uv);
// A box that narrows (or widens) from its bottom rectangle at y0 to its top one at y1.
// Rectangles are (x0, x1, z0, z1).
void addTaperedBox(MeshObject& object, double y0, const glm::dvec4& bottom, double y1, const glm::dvec4& top,
                   const glm::dvec2& uv);
// A prism along `axis` from `from` to `to` (from < to) over a convex polygon in the
// coordinates (y, z) for X, (z, x) for Y and (x, y) for Z, in either winding.
void addPrism(MeshObject& object, Axis axis, const std::vector<glm::dvec2>& polygon, double from, double to,
              const glm::dvec2& capUv, const glm::dvec2& sideUv);
// A regular polygon of `sides` corners around (centreA, centreB) in the prism's plane.
std::vector<glm::dvec2> regularPolygon(int sides, double centreA, double centreB, double radius, double startAngle);
void addPyramid(MeshObject& object, const std::vector<glm::dvec3>& base, const glm::dvec3& apex, const glm::dvec2& uv);

// Maps the face's corners linearly onto the texture rectangle (u0, v0, u1, v1): u grows
// along uDirection, v along vDirection.
void spreadUv(Face& face, const glm::dvec3& uDirection, const glm::dvec3& vDirection, const glm::dvec4& rect);

// Spreads detail tile `tile` over the face of the most recently added solid whose normal is
// closest to `direction` (s to the viewer's right, t up).
void applyDetailToLastSolid(MeshObject& object, int facesOfSolid, const glm::dvec3& direction, int tile);

}  // namespace assetgen
