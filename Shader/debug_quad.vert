// Inspection view of the shadow map: a quad given in normalised device coordinates.
#version 430 core

layout(location = 0) in vec3 position;
layout(location = 2) in vec2 texCoords;

out vec2 uv;

void main() {
  uv = texCoords;
  gl_Position = vec4(position, 1.0);
}
