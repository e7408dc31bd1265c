// Outline of the robots and bullets: the surface pushed out along its normal. Drawn
// with front faces culled before the object itself, so only a rim shows around it.
#version 430 core

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;

uniform mat4 model;
uniform mat4 view;
uniform mat4 project;
uniform float offset1;  // outline width in world units

void main() {
  vec4 world = model * vec4(position, 1.0);
  vec3 n = mat3(model) * normal;
  float len = length(n);
  if (len > 0.0) world.xyz += (n / len) * offset1;
  gl_Position = project * (view * world);
}
