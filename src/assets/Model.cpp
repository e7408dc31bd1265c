// Reading a model file through Assimp into meshes, textures and bounding corners.
#include "assets/Model.h"

#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <cstring>
#include <iostream>

#include "assets/SceneFile.h"
#include "assets/Texture.h"

namespace varn::assets {

namespace {

// Grows the (least x, least y, greatest z) / (greatest x, greatest y, least z) corners by p.
void growCorners(glm::vec3& cornerA, glm::vec3& cornerB, const glm::vec3& p) {
  if (p.x < cornerA.x) cornerA.x = p.x;
  if (p.y < cornerA.y) cornerA.y = p.y;
  if (p.z > cornerA.z) cornerA.z = p.z;
  if (p.x > cornerB.x) cornerB.x = p.x;
  if (p.y > cornerB.y) cornerB.y = p.y;
  if (p.z < cornerB.z) cornerB.z = p.z;
}

bool samePath(const aiString& a, const aiString& b) {
  return a.length == b.length && std::memcmp(a.data, b.data, a.length) == 0;
}

}  // namespace

Model::Model(const char* modelPath, render::Shader* modelProgram) : program(modelProgram) { loadModel(modelPath); }

void Model::draw(int32_t textureFilterMode, int32_t mipmapMode) const {
  for (const Mesh& mesh : meshes) mesh.draw(textureFilterMode, mipmapMode);
}

void Model::loadModel(const std::string& modelPath) {
  Assimp::Importer importer;
  const aiScene* scene = readScene(importer, modelPath);
  if (scene == nullptr) {
    std::cout << "ERROR::ASSIMP::" << importer.GetErrorString() << std::endl;
    return;
  }
  const size_t slash = modelPath.find_last_of('/');
  directory = slash == std::string::npos ? modelPath : modelPath.substr(0, slash);
  path = modelPath;
  processNode(scene->mRootNode, scene);
}

void Model::processNode(const aiNode* node, const aiScene* scene) {
  for (unsigned k = 0; k < node->mNumMeshes; ++k) {
    meshes.push_back(processMesh(scene->mMeshes[node->mMeshes[k]], scene));
  }
  for (unsigned c = 0; c < node->mNumChildren; ++c) processNode(node->mChildren[c], scene);
}

Mesh Model::processMesh(const aiMesh* mesh, const aiScene* scene) {
  glm::vec3 meshCornerA(1000.0f, 1000.0f, -1000.0f);
  glm::vec3 meshCornerB(-1000.0f, -1000.0f, 1000.0f);

  std::vector<Vertex> vertices;
  vertices.reserve(mesh->mNumVertices);
  for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
    Vertex vertex;
    vertex.position = glm::vec3(mesh->mVertices[i].x, mesh->mVertices[i].y, mesh->mVertices[i].z);
    growCorners(cornerA, cornerB, vertex.position);
    growCorners(meshCornerA, meshCornerB, vertex.position);
    // A mesh without normals gets zero normals rather than a read past the array.
    if (mesh->mNormals != nullptr) {
      vertex.normal = glm::vec3(mesh->mNormals[i].x, mesh->mNormals[i].y, mesh->mNormals[i].z);
    } else {
      vertex.normal = glm::vec3(0.0f);
    }
    if (mesh->mColors[0] != nullptr) {
      vertex.color = glm::vec3(mesh->mColors[0][i].r, mesh->mColors[0][i].g, mesh->mColors[0][i].b);
    } else {
      vertex.color = glm::vec3(0.7f);
    }
    if (mesh->mTextureCoords[0] != nullptr) {
      vertex.texCoords = glm::vec2(mesh->mTextureCoords[0][i].x, mesh->mTextureCoords[0][i].y);
    } else {
      vertex.texCoords = glm::vec2(0.0f);
    }
    vertices.push_back(vertex);
  }

  std::vector<GLuint> indices;
  for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
    const aiFace& face = mesh->mFaces[f];
    for (unsigned j = 0; j < face.mNumIndices; ++j) indices.push_back(face.mIndices[j]);
  }

  const aiMaterial* material = scene->mMaterials[mesh->mMaterialIndex];
  std::vector<Texture> textures = loadMaterialTextures(material, aiTextureType_DIFFUSE, "texture_diffuse");
  const std::vector<Texture> specular = loadMaterialTextures(material, aiTextureType_SPECULAR, "texture_specular");
  textures.insert(textures.end(), specular.begin(), specular.end());

  Mesh result(std::move(vertices), std::move(indices), std::move(textures), program);
  result.cornerA = meshCornerA;
  result.cornerB = meshCornerB;
  return result;
}

std::vector<Texture> Model::loadMaterialTextures(const aiMaterial* material, aiTextureType type,
                                                 const std::string& typeName) {
  std::vector<Texture> result;
  for (unsigned i = 0; i < aiGetMaterialTextureCount(material, type); ++i) {
    aiString name;
    aiGetMaterialTexture(material, type, i, &name, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    bool loaded = false;
    for (const Texture& known : texturesLoaded) {
      if (samePath(known.path, name)) {
        result.push_back(known);
        loaded = true;
        break;
      }
    }
    if (!loaded) {
      Texture texture;
      texture.id = textureFromFile(name.C_Str(), directory);
      texture.type = typeName;
      texture.path = name;
      result.push_back(texture);
      texturesLoaded.push_back(texture);
    }
  }
  return result;
}

}  // namespace varn::assets
