// Geometry of one Wavefront OBJ file as the asset generator builds it: named objects of
// flat-shaded polygons with texture coordinates, and the materials they use.
#pragma once

#include <glm/glm.hpp>
#include <string>
#include <vector>

namespace assetgen {

struct Corner {
  glm::dvec3 position{0.0};
  glm::dvec2 uv{0.0};
};

// One flat polygon; every corner shares the face normal (flat shading). Corners run
// counter-clockwise seen from the side the normal points to.
struct Face {
  std::vector<Corner> corners;
  glm::dvec3 normal{0.0};
};

// One `o` block of the file: Assimp turns it into its own mesh as long as it uses a
// single material.
struct MeshObject {
  std::string name;
  std::string material;
  std::vector<Face> faces;

  std::size_t cornerCount() const;
  std::size_t triangleCount() const;
};

struct Material {
  std::string name;
  std::string diffuseTexture;  // file name, relative to the model's directory
};

class ObjModel {
 public:
  MeshObject& addObject(const std::string& name, const std::string& material);
  void addMaterial(const std::string& name, const std::string& diffuseTexture);

  // Writes <directory>/<baseName>.obj and <baseName>.mtl. Returns false on an I/O error.
  bool write(const std::string& directory, const std::string& baseName) const;
  std::size_t triangleCount() const;

  std::vector<MeshObject> objects;
  std::vector<Material> materials;
};

// A face from its corners; the normal is the exact cross product direction of the
// polygon (Newell's method), normalised.
Face makeFace(const std::vector<glm::dvec3>& positions, const std::vector<glm::dvec2>& uvs);
// The same with one texture coordinate for every corner (a palette cell).
Face makeFace(const std::vector<glm::dvec3>& positions, const glm::dvec2& uv);

// Fixed-point text of a number with four decimals; never prints "-0.0000".
std::string formatNumber(double value);

}  // namespace assetgen
