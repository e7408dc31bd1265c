// What the fuzz targets share: a scratch folder in memory to write each input into (the
// game's loaders read files, never buffers), and a walk over an Assimp scene reading every
// field the game's model upload reads, so that a bad pointer or index shows here.
#pragma once

#include <assimp/material.h>
#include <assimp/scene.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace varn::fuzz {

inline const std::string& scratchFolder() {
  static const std::string folder = [] {
    std::string pattern = "/dev/shm/morrowgear-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      pattern = "/tmp/morrowgear-fuzz-XXXXXX";
      if (mkdtemp(pattern.data()) == nullptr) std::abort();
    }
    return pattern;
  }();
  return folder;
}

// Writes bytes to name inside the scratch folder and gives the file's path.
inline std::string writeScratch(const char* name, const uint8_t* data, size_t size) {
  const std::string path = scratchFolder() + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  return path;
}

// Every mesh's vertices, faces and material as the model upload reads them. An index past
// a mesh's vertices would reach the GPU as an out-of-bounds draw, so it stops the run.
inline float walkScene(const aiScene& scene) {
  float sum = 0.0f;  // returned so that the reads are not optimised away
  for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
    const aiMesh& mesh = *scene.mMeshes[m];
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
      sum += mesh.mVertices[i].x;
      if (mesh.mNormals != nullptr) sum += mesh.mNormals[i].y;
      if (mesh.mColors[0] != nullptr) sum += mesh.mColors[0][i].r;
      if (mesh.mTextureCoords[0] != nullptr) sum += mesh.mTextureCoords[0][i].x;
    }
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
      const aiFace& face = mesh.mFaces[f];
      for (unsigned j = 0; j < face.mNumIndices; ++j) {
        if (face.mIndices[j] >= mesh.mNumVertices) std::abort();
      }
    }
    if (mesh.mMaterialIndex >= scene.mNumMaterials) std::abort();
    const aiMaterial* material = scene.mMaterials[mesh.mMaterialIndex];
    for (aiTextureType type : {aiTextureType_DIFFUSE, aiTextureType_SPECULAR}) {
      for (unsigned t = 0; t < aiGetMaterialTextureCount(material, type); ++t) {
        aiString name;
        aiGetMaterialTexture(material, type, t, &name, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        sum += static_cast<float>(name.length);
      }
    }
  }
  return sum;
}

}  // namespace varn::fuzz
