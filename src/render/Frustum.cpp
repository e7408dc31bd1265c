// View-frustum planes built from the camera frame, and the two-corner box test.
#include "render/Frustum.h"

#include <cmath>

namespace varn::render {

void Frustum::setFrustumShape(float fovIn, float ratioIn, float nearIn, float farIn) {
  fov = fovIn;
  ratio = ratioIn;
  nearDistance = nearIn;
  farDistance = farIn;
  tanHalf = static_cast<float>(std::tan(static_cast<double>(fov) / 2.0));
  nearHeight = tanHalf * nearDistance;
  nearWidth = nearHeight * ratio;
  farHeight = tanHalf * farDistance;
  farWidth = farHeight * ratio;
}

void Frustum::updateFrustum(glm::vec3 eye, glm::vec3 direction, glm::vec3 up) {
  // Camera axes: Z points backwards, so the view volume lies along -Z.
  const glm::vec3 Z = glm::normalize(-direction);
  const glm::vec3 X = glm::normalize(glm::cross(up, Z));
  const glm::vec3 Y = glm::cross(Z, X);

  const glm::vec3 nearCentre = eye - nearDistance * Z;
  const glm::vec3 farCentre = eye - farDistance * Z;

  planes[Near] = {nearCentre, -Z};
  planes[Far] = {farCentre, Z};

  // Each side plane passes through the eye and one edge of the near rectangle; the
  // edge direction is perpendicular to the axis it is crossed with, so the normal is unit.
  const glm::vec3 top = nearCentre + nearHeight * Y;
  planes[Top] = {top, glm::cross(glm::normalize(top - eye), X)};

  const glm::vec3 bottom = nearCentre - nearHeight * Y;
  planes[Bottom] = {bottom, glm::cross(X, glm::normalize(bottom - eye))};

  const glm::vec3 left = nearCentre - nearWidth * X;
  planes[Left] = {left, glm::cross(glm::normalize(left - eye), Y)};

  const glm::vec3 right = nearCentre + nearWidth * X;
  planes[Right] = {right, glm::cross(Y, glm::normalize(right - eye))};
}

FrustumResult Frustum::boxInFrustum(glm::vec3 cornerA, glm::vec3 cornerB) const {
  FrustumResult result = FrustumResult::Inside;
  for (const FrustumPlane& plane : planes) {
    const glm::vec3& n = plane.normal;
    const float d = -glm::dot(n, plane.point);
    // cornerA holds the greatest z, so the z choice is the reverse of x and y.
    const glm::vec3 positive(n.x >= 0.0f ? cornerB.x : cornerA.x, n.y >= 0.0f ? cornerB.y : cornerA.y,
                             n.z <= 0.0f ? cornerB.z : cornerA.z);
    const glm::vec3 negative(n.x >= 0.0f ? cornerA.x : cornerB.x, n.y >= 0.0f ? cornerA.y : cornerB.y,
                             n.z <= 0.0f ? cornerA.z : cornerB.z);
    if (glm::dot(n, positive) + d < 0.0f) return FrustumResult::Outside;
    if (glm::dot(n, negative) + d < 0.0f) result = FrustumResult::Intersect;
  }
  return result;
}

}  // namespace varn::render
