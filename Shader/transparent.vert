// Translucent bullets, vertex stage: view-space normal and position for the rim.
#version 430 core

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;

uniform mat4 model;
uniform mat4 view;
uniform mat4 project;

out vec3 viewNormal;
out vec3 viewPosition;

void main() {
  mat4 modelView = view * model;
  vec4 eyeSpace = modelView * vec4(position, 1.0);
  viewPosition = eyeSpace.xyz;
  viewNormal = mat3(modelView) * normal;
  gl_Position = project * eyeSpace;
}
