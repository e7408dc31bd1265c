// Writing the generator's geometry as OBJ + MTL text with fixed number formatting, so
// that a second run reproduces every byte.
#include "ObjModel.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace assetgen {

std::size_t MeshObject::cornerCount() const {
  std::size_t count = 0;
  for (const Face& face : faces) count += face.corners.size();
  return count;
}

std::size_t MeshObject::triangleCount() const {
  std::size_t count = 0;
  for (const Face& face : faces) count += face.corners.size() - 2;
  return count;
}

MeshObject& ObjModel::addObject(const std::string& name, const std::string& material) {
  objects.push_back(MeshObject{name, material, {}});
  return objects.back();
}

void ObjModel::addMaterial(const std::string& name, const std::string& diffuseTexture) {
  materials.push_back(Material{name, diffuseTexture});
}

std::size_t ObjModel::triangleCount() const {
  std::size_t count = 0;
  for (const MeshObject& object : objects) count += object.triangleCount();
  return count;
}

std::string formatNumber(double value) {
  // Rounding first keeps tiny negative values from printing as "-0.0000".
  double rounded = std::round(value * 10000.0) / 10000.0;
  if (rounded == 0.0) rounded = 0.0;
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", rounded);
  return text;
}

bool ObjModel::write(const std::string& directory, const std::string& baseName) const {
  std::ostringstream mtl;
  mtl << "# " << baseName << ": materials made by assetgen. Colour comes only from map_Kd.\n";
  for (const Material& material : materials) {
    mtl << "\nnewmtl " << material.name << "\n";
    mtl << "Ka 1.0000 1.0000 1.0000\nKd 1.0000 1.0000 1.0000\nKs 0.2000 0.2000 0.2000\nNs 32.0000\n";
    mtl << "map_Kd " << material.diffuseTexture << "\n";
  }

  std::ostringstream obj;
  obj << "# " << baseName << ": made by assetgen (Morrowgear's asset generator); do not edit.\n";
  obj << "mtllib " << baseName << ".mtl\n";
  // OBJ indices are global and 1-based; every corner gets its own position and
  // texture coordinate, and every face one normal.
  std::size_t positionBase = 1;
  std::size_t uvBase = 1;
  std::size_t normalBase = 1;
  for (const MeshObject& object : objects) {
    obj << "o " << object.name << "\nusemtl " << object.material << "\n";
    for (const Face& face : object.faces)
      for (const Corner& corner : face.corners)
        obj << "v " << formatNumber(corner.position.x) << " " << formatNumber(corner.position.y) << " "
            << formatNumber(corner.position.z) << "\n";
    for (const Face& face : object.faces)
      for (const Corner& corner : face.corners)
        obj << "vt " << formatNumber(corner.uv.x) << " " << formatNumber(corner.uv.y) << "\n";
    for (const Face& face : object.faces)
      obj << "vn " << formatNumber(face.normal.x) << " " << formatNumber(face.normal.y) << " "
          << formatNumber(face.normal.z) << "\n";
    for (const Face& face : object.faces) {
      obj << "f";
      for (std::size_t i = 0; i < face.corners.size(); ++i)
        obj << " " << positionBase + i << "/" << uvBase + i << "/" << normalBase;
      obj << "\n";
      positionBase += face.corners.size();
      uvBase += face.corners.size();
      normalBase += 1;
    }
  }

  std::ofstream objFile(directory + "/" + baseName + ".obj", std::ios::binary);
  std::ofstream mtlFile(directory + "/" + baseName + ".mtl", std::ios::binary);
  objFile << obj.str();
  mtlFile << mtl.str();
  return static_cast<bool>(objFile) && static_cast<bool>(mtlFile);
}

Face makeFace(const std::vector<glm::dvec3>& positions, const std::vector<glm::dvec2>& uvs) {
  Face face;
  glm::dvec3 normal(0.0);
  for (std::size_t i = 0; i < positions.size(); ++i) {
    const glm::dvec3& a = positions[i];
    const glm::dvec3& b = positions[(i + 1) % positions.size()];
    normal.x += (a.y - b.y) * (a.z + b.z);
    normal.y += (a.z - b.z) * (a.x + b.x);
    normal.z += (a.x - b.x) * (a.y + b.y);
  }
  const double length = glm::length(normal);
  face.normal = length > 0.0 ? normal / length : glm::dvec3(0.0, 1.0, 0.0);
  for (std::size_t i = 0; i < positions.size(); ++i) face.corners.push_back(Corner{positions[i], uvs[i]});
  return face;
}

Face makeFace(const std::vector<glm::dvec3>& positions, const glm::dvec2& uv) {
  return makeFace(positions, std::vector<glm::dvec2>(positions.size(), uv));
}

}  // namespace assetgen
