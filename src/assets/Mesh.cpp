// Uploading a mesh once and drawing it with its textures and the sampling settings.
#include "assets/Mesh.h"

#include <cstddef>
#include <utility>

#include "assets/Texture.h"
#include "render/Shader.h"

namespace varn::assets {

Mesh::Mesh(std::vector<Vertex> meshVertices, std::vector<GLuint> meshIndices, std::vector<Texture> meshTextures,
           render::Shader* meshProgram)
    : vertices(std::move(meshVertices)),
      indices(std::move(meshIndices)),
      textures(std::move(meshTextures)),
      program(meshProgram) {
  setupMesh();
}

void Mesh::setupMesh() {
  glGenVertexArrays(1, &VAO);
  glGenBuffers(1, &VBO);
  glGenBuffers(1, &EBO);

  glBindVertexArray(VAO);
  glBindBuffer(GL_ARRAY_BUFFER, VBO);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)), vertices.data(),
               GL_STATIC_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, EBO);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)), indices.data(),
               GL_STATIC_DRAW);

  const auto stride = static_cast<GLsizei>(sizeof(Vertex));
  glEnableVertexAttribArray(kPositionLocation);
  glVertexAttribPointer(kPositionLocation, 3, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(Vertex, position)));
  glEnableVertexAttribArray(kNormalLocation);
  glVertexAttribPointer(kNormalLocation, 3, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(Vertex, normal)));
  glEnableVertexAttribArray(kTexCoordsLocation);
  glVertexAttribPointer(kTexCoordsLocation, 2, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(Vertex, texCoords)));
  glBindVertexArray(0);
}

void Mesh::draw(int32_t textureFilterMode, int32_t mipmapMode) const {
  unsigned diffuseNumber = 1;
  unsigned specularNumber = 1;
  // Models are drawn by several passes, each with its own program. The sampler is
  // looked up in the program actually in use: a location taken from the model's own
  // program means nothing to another program and would be an invalid upload there.
  GLint currentProgram = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &currentProgram);
  const auto programInUse = static_cast<GLuint>(currentProgram);
  for (size_t i = 0; i < textures.size(); ++i) {
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + i));
    std::string number;
    if (textures[i].type == "texture_diffuse") {
      number = std::to_string(diffuseNumber++);
    } else if (textures[i].type == "texture_specular") {
      number = std::to_string(specularNumber++);
    }
    const std::string samplerName = textures[i].type + number;
    const GLuint samplerProgram = programInUse != 0 ? programInUse : (program ? program->programHandle : 0);
    if (samplerProgram != 0) {
      glUniform1i(glGetUniformLocation(samplerProgram, samplerName.c_str()), static_cast<GLint>(i));
    }
    glBindTexture(GL_TEXTURE_2D, textures[i].id);
    applySampling(textureFilterMode, mipmapMode);
  }

  glBindVertexArray(VAO);
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, nullptr);
  glBindVertexArray(0);

  for (size_t i = 0; i < textures.size(); ++i) {
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + i));
    glBindTexture(GL_TEXTURE_2D, 0);
  }
}

}  // namespace varn::assets
