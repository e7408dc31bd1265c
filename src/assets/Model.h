// The meshes, textures and bounding corners of one Wavefront OBJ file, read through Assimp.
//
// Model is a value type: copies share the OpenGL objects of their meshes, which
// are never deleted (they live until the context ends).
#pragma once

#include <assimp/material.h>

#include <string>
#include <vector>

#include "assets/Mesh.h"

struct aiNode;
struct aiScene;
struct aiMesh;

namespace varn::assets {

class Model {
 public:
  Model() = default;
  // Never fails by exception or exit: an unreadable file prints "ERROR::ASSIMP::..."
  // and leaves a model without meshes.
  Model(const char* path, render::Shader* program);

  void draw(int32_t textureFilterMode, int32_t mipmapMode) const;
  std::string getPath() const { return path; }

  glm::vec3 cornerA{0.0f};  // over all meshes and the origin: (least x, least y, greatest z)
  glm::vec3 cornerB{0.0f};  // (greatest x, greatest y, least z)
  std::vector<Mesh> meshes;
  std::string directory;  // the path up to its last "/"
  std::string path;       // the path as passed
  std::vector<Texture> texturesLoaded;
  render::Shader* program = nullptr;

 private:
  void loadModel(const std::string& modelPath);
  void processNode(const aiNode* node, const aiScene* scene);
  Mesh processMesh(const aiMesh* mesh, const aiScene* scene);
  std::vector<Texture> loadMaterialTextures(const aiMaterial* material, aiTextureType type,
                                            const std::string& typeName);
};

}  // namespace varn::assets
