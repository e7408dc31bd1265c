// The camera's view volume as six planes, and the box-against-frustum test used for culling.
#pragma once

#include <glm/glm.hpp>

namespace varn::render {

struct FrustumPlane {
  glm::vec3 point{0.0f};   // a point on the plane
  glm::vec3 normal{0.0f};  // unit normal pointing into the view volume
};

enum class FrustumResult { Outside = 0, Intersect = 1, Inside = 2 };

class Frustum {
 public:
  enum PlaneIndex { Top = 0, Bottom, Left, Right, Near, Far };

  // fov: vertical field of view in radians; ratio: width / height.
  void setFrustumShape(float fov, float ratio, float nearDistance, float farDistance);
  // Rebuilds the planes from the eye, the view direction (any length) and the up vector.
  void updateFrustum(glm::vec3 eye, glm::vec3 direction, glm::vec3 up);
  // cornerA = (min x, min y, max z), cornerB = (max x, max y, min z).
  FrustumResult boxInFrustum(glm::vec3 cornerA, glm::vec3 cornerB) const;

  FrustumPlane planes[6];  // top, bottom, left, right, near, far
  float nearDistance = 0.0f;
  float farDistance = 0.0f;
  float ratio = 0.0f;
  float fov = 0.0f;
  float tanHalf = 0.0f;
  float nearWidth = 0.0f;   // half width at the near distance
  float nearHeight = 0.0f;  // half height at the near distance
  float farWidth = 0.0f;
  float farHeight = 0.0f;
};

}  // namespace varn::render
