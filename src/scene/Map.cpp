// The level's collision lists: every mesh of the level model becomes one world box,
// sorted into floors, walls or blocks by its vertex count and its first normal.
#include "scene/Map.h"

namespace varn::scene {

namespace {

// Flat level pieces are single quads: at most two triangles' worth of vertices.
constexpr std::size_t kMaxFlatPieceVertices = 6;

}  // namespace

Map::Map(const assets::Model& model, const glm::mat4& placement) : SceneObject(placement), model(model) {
  buildCollisionBoxes();
}

void Map::draw(int32_t textureFilterMode, int32_t mipmapMode) { model.draw(textureFilterMode, mipmapMode); }

void Map::buildCollisionBoxes() {
  floorBoxes.clear();
  wallBoxes.clear();
  blockBoxes.clear();

  for (const assets::Mesh& mesh : model.meshes) {
    // A mesh without vertices has no extent and no first normal to classify by.
    if (mesh.vertices.empty()) continue;

    glm::vec3 least = mesh.vertices.front().position;
    glm::vec3 greatest = least;
    for (const assets::Vertex& vertex : mesh.vertices) {
      const glm::vec3& p = vertex.position;
      if (p.x < least.x) least.x = p.x;
      if (p.y < least.y) least.y = p.y;
      if (p.z < least.z) least.z = p.z;
      if (p.x > greatest.x) greatest.x = p.x;
      if (p.y > greatest.y) greatest.y = p.y;
      if (p.z > greatest.z) greatest.z = p.z;
    }

    CollisionBox box;
    box.cornerA = transformPoint(modelMatrix, glm::vec3(least.x, least.y, greatest.z));
    box.cornerB = transformPoint(modelMatrix, glm::vec3(greatest.x, greatest.y, least.z));

    if (mesh.vertices.size() > kMaxFlatPieceVertices) {
      blockBoxes.push_back(box);
      continue;
    }
    // Only a quad whose normal lies exactly on the y axis (up or down) is a floor;
    // n x (0, 1, 0) = (-n.z, 0, n.x) vanishes just then. Any tilt makes it a wall.
    const glm::vec3& n = mesh.vertices.front().normal;
    if (glm::length(glm::vec3(-n.z, 0.0f, n.x)) == 0.0f) {
      floorBoxes.push_back(box);
    } else {
      wallBoxes.push_back(box);
    }
  }
}

}  // namespace varn::scene
