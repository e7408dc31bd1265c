// One mesh of a model: CPU copies of its vertices and indices, its textures,
// its bounding corners and its OpenGL buffers.
//
// Mesh is a value type: copies share the same vertex array, buffers and texture
// names, and no copy ever deletes them; they live until the context ends.
#pragma once

#include <GL/glew.h>

#include "assets/Texture.h"

#include <cstdint>
#include <glm/glm.hpp>
#include <string>
#include <vector>

namespace varn::render {
struct Shader;
}

namespace varn::assets {

// 44 bytes, tightly packed, in buffer order. color is stored but bound to no attribute.
struct Vertex {
  glm::vec3 position{0.0f};
  glm::vec3 normal{0.0f};
  glm::vec2 texCoords{0.0f};
  glm::vec3 color{0.7f};
};
static_assert(sizeof(Vertex) == 44, "the vertex buffer layout is 44 bytes per vertex");

// Fixed attribute locations that every model program declares.
constexpr GLuint kPositionLocation = 0;
constexpr GLuint kNormalLocation = 1;
constexpr GLuint kTexCoordsLocation = 2;

class Mesh {
 public:
  Mesh(std::vector<Vertex> vertices, std::vector<GLuint> indices, std::vector<Texture> textures,
       render::Shader* program);

  // Binds the textures (samplers "texture_diffuse1", ... on units 0, 1, ...) and draws.
  void draw(int32_t textureFilterMode, int32_t mipmapMode) const;

  std::vector<Vertex> vertices;
  std::vector<GLuint> indices;
  std::vector<Texture> textures;  // diffuse first, then specular
  glm::vec3 cornerA{0.0f};        // (least x, least y, greatest z)
  glm::vec3 cornerB{0.0f};        // (greatest x, greatest y, least z)
  GLuint VAO = 0;
  GLuint VBO = 0;
  GLuint EBO = 0;
  render::Shader* program = nullptr;  // not owned: whose sampler uniforms are set when drawing

 private:
  void setupMesh();
};

}  // namespace varn::assets
