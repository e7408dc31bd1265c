// The built-in unit cube: its buffers, and its own simple jump, move and turn rules.
#include "assets/Cube.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

#include "render/Shader.h"

namespace varn::scene {

namespace {

// Four vertices per face so that each carries its face's normal.
constexpr GLfloat kPositions[72] = {
    -0.5f, -0.5f, -0.5f, -0.5f, 0.5f,  -0.5f, 0.5f,  0.5f,  -0.5f, 0.5f,  -0.5f, -0.5f,  // back
    -0.5f, -0.5f, 0.5f,  0.5f,  -0.5f, 0.5f,  0.5f,  0.5f,  0.5f,  -0.5f, 0.5f,  0.5f,   // front
    0.5f,  0.5f,  0.5f,  0.5f,  0.5f,  -0.5f, -0.5f, 0.5f,  -0.5f, -0.5f, 0.5f,  0.5f,   // top
    0.5f,  -0.5f, 0.5f,  -0.5f, -0.5f, 0.5f,  -0.5f, -0.5f, -0.5f, 0.5f,  -0.5f, -0.5f,  // bottom
    0.5f,  0.5f,  0.5f,  0.5f,  -0.5f, 0.5f,  0.5f,  -0.5f, -0.5f, 0.5f,  0.5f,  -0.5f,  // right
    -0.5f, 0.5f,  0.5f,  -0.5f, 0.5f,  -0.5f, -0.5f, -0.5f, -0.5f, -0.5f, -0.5f, 0.5f,   // left
};

constexpr GLfloat kNormals[72] = {
    0,  0,  -1, 0,  0,  -1, 0,  0,  -1, 0,  0,  -1,  // back
    0,  0,  1,  0,  0,  1,  0,  0,  1,  0,  0,  1,   // front
    0,  1,  0,  0,  1,  0,  0,  1,  0,  0,  1,  0,   // top
    0,  -1, 0,  0,  -1, 0,  0,  -1, 0,  0,  -1, 0,   // bottom
    1,  0,  0,  1,  0,  0,  1,  0,  0,  1,  0,  0,   // right
    -1, 0,  0,  -1, 0,  0,  -1, 0,  0,  -1, 0,  0,   // left
};

// Top, back, right, left, front, bottom; counter-clockwise seen from outside.
constexpr GLuint kIndices[36] = {8,  9,  10, 8,  10, 11, 0, 1, 2, 0, 2, 3, 16, 17, 18, 16, 18, 19,
                                 20, 21, 22, 20, 22, 23, 4, 5, 6, 4, 6, 7, 12, 13, 14, 12, 14, 15};

constexpr double kGravity = 30.0;  // units per second squared

// A program without the attribute reports -1; enabling that would be a GL error, so the
// cube is then simply drawn without it.
void bindAttribute(GLuint programHandle, const char* name, GLuint buffer) {
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  const GLint location = glGetAttribLocation(programHandle, name);
  if (location < 0) return;
  glEnableVertexAttribArray(static_cast<GLuint>(location));
  glVertexAttribPointer(static_cast<GLuint>(location), 3, GL_FLOAT, GL_FALSE, 0, nullptr);
}

}  // namespace

Cube::Cube(const glm::mat4& matrix, render::Shader* shader) : SceneObject(matrix), program(shader) {
  jumping = false;

  glGenBuffers(1, &positionBuffer);
  glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
  glBufferData(GL_ARRAY_BUFFER, sizeof(kPositions), kPositions, GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, 0);

  glGenBuffers(1, &normalBuffer);
  glBindBuffer(GL_ARRAY_BUFFER, normalBuffer);
  glBufferData(GL_ARRAY_BUFFER, sizeof(kNormals), kNormals, GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, 0);

  glGenBuffers(1, &indexBuffer);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(kIndices), kIndices, GL_STATIC_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);

  glGenVertexArrays(1, &vertexArray);
  glBindVertexArray(vertexArray);
  bindAttribute(program->programHandle, "position", positionBuffer);
  bindAttribute(program->programHandle, "normal", normalBuffer);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);  // recorded by the vertex array

  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

Cube::~Cube() {
  glDeleteBuffers(1, &positionBuffer);
  glDeleteBuffers(1, &normalBuffer);
  glDeleteBuffers(1, &indexBuffer);
  glDeleteVertexArrays(1, &vertexArray);
  positionBuffer = normalBuffer = indexBuffer = vertexArray = 0;
}

void Cube::update(double deltaTime) {
  if (!jumping) return;
  if (verticalSpeed > -launchSpeed) {
    verticalSpeed = static_cast<float>(verticalSpeed - deltaTime * kGravity);
    // The new speed is applied before moving, so the cube lands a little below its start.
    const float rise = static_cast<float>(verticalSpeed * deltaTime);
    modelMatrix = glm::translate(modelMatrix, glm::vec3(0.0f, rise, 0.0f));
  } else {
    jumping = false;
  }
}

void Cube::draw(int32_t, int32_t) {
  glBindVertexArray(vertexArray);
  glDrawElements(GL_TRIANGLES, 36, GL_UNSIGNED_INT, nullptr);
  glBindVertexArray(0);
}

void Cube::move(float distance, bool forward, bool backward, bool left, bool right) {
  float dz = 0.0f;
  if (forward) dz -= distance;
  if (backward) dz += distance;
  float dx = 0.0f;
  if (left) dx -= distance;
  if (right) dx += distance;
  // Along the world axes whatever the cube's rotation.
  modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(dx, 0.0f, dz)) * modelMatrix;
}

void Cube::jump() {
  if (jumping) return;
  jumping = true;
  launchSpeed = 10.0f;
  verticalSpeed = 10.0f;
}

void Cube::turn(float angle) {
  if (std::isnan(angle) || angle == 0.0f) return;
  modelMatrix = glm::rotate(modelMatrix, angle, glm::vec3(0.0f, 1.0f, 0.0f));
}

}  // namespace varn::scene
