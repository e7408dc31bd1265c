// Hand-made level pieces for the scene tests: flat quads and solid boxes as level
// meshes, and boxed models without meshes for robots, enemies and bullets.
// Building a Mesh uploads it, so callers need a current OpenGL context.
#pragma once

#include <vector>

#include "assets/Mesh.h"
#include "assets/Model.h"

namespace varn::test {

// A mesh of the given positions, every vertex with the same normal; never drawn, so without indices.
inline assets::Mesh meshOf(const std::vector<glm::vec3>& positions, const glm::vec3& normal) {
  std::vector<assets::Vertex> vertices(positions.size());
  for (std::size_t i = 0; i < positions.size(); ++i) {
    vertices[i].position = positions[i];
    vertices[i].normal = normal;
  }
  return assets::Mesh(vertices, {}, {}, nullptr);
}

// A horizontal quad of four vertices at height y, facing up.
inline assets::Mesh floorQuad(float x0, float x1, float y, float z0, float z1) {
  return meshOf({{x0, y, z1}, {x1, y, z1}, {x1, y, z0}, {x0, y, z0}}, {0.0f, 1.0f, 0.0f});
}

// An upright quad in the plane x = const, facing -x.
inline assets::Mesh wallQuadX(float x, float y0, float y1, float z0, float z1) {
  return meshOf({{x, y0, z0}, {x, y0, z1}, {x, y1, z1}, {x, y1, z0}}, {-1.0f, 0.0f, 0.0f});
}

// A solid box by its eight corners: more vertices than any flat piece, so the level counts it a block.
inline assets::Mesh blockMesh(const glm::vec3& a, const glm::vec3& b) {
  std::vector<glm::vec3> corners;
  for (int i = 0; i < 8; ++i) corners.push_back({(i & 1) ? b.x : a.x, (i & 2) ? b.y : a.y, (i & 4) ? b.z : a.z});
  return meshOf(corners, {0.0f, 1.0f, 0.0f});
}

inline assets::Model levelModel(std::vector<assets::Mesh> meshes) {
  assets::Model model;
  model.meshes = std::move(meshes);
  return model;
}

// A model that is only a box: corners in the loader's sense, no meshes, nothing on the GPU.
inline assets::Model boxModel(const glm::vec3& least, const glm::vec3& greatest) {
  assets::Model model;
  model.cornerA = {least.x, least.y, greatest.z};
  model.cornerB = {greatest.x, greatest.y, least.z};
  return model;
}

}  // namespace varn::test
