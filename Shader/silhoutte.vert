// Outline of the robots and bullets: the surface inflated by "offset1" world units.
// Drawn with front faces culled before the object itself, so only a rim shows around it.
#version 430 core

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;

uniform mat4 model;
uniform mat4 view;
uniform mat4 project;
uniform float offset1;  // outline width in world units

void main() {
  // The robots are built from flat-shaded boxes: the corners of adjacent faces share a
  // position but not a normal, and pushing along the normal would tear the shell apart
  // into floating strips. Pushing away from the model's origin depends on the position
  // alone, so the inflated shell stays closed. Only a vertex at the origin itself
  // falls back to its normal.
  vec3 outwards = length(position) > 1e-4 ? position : normal;
  vec3 world = (model * vec4(position, 1.0)).xyz;
  vec3 push = mat3(model) * outwards;
  float len = length(push);
  if (len > 0.0) world += (push / len) * offset1;
  gl_Position = project * (view * vec4(world, 1.0));
}
