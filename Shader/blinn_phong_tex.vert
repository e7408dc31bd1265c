// Textured Blinn-Phong for the level and the button, vertex stage: world-space
// lighting inputs and the position in the shadow map of the nearest light.
#version 430 core

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 texCoords;

uniform mat4 model;
uniform mat4 view;
uniform mat4 project;
uniform mat4 M_Vl_Pl_L_Matrix;  // bias x light projection x light view x model

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 uv;
out vec4 shadowCoord;

// The cel pass draws the level a second time over this pass; both programs must
// produce bit-identical depths so that the second draw does not z-fight the first.
invariant gl_Position;

void main() {
  vec4 world = model * vec4(position, 1.0);
  worldPosition = world.xyz;
  // The game only scales uniformly, so the model matrix itself turns normals correctly.
  worldNormal = mat3(model) * normal;
  uv = texCoords;
  shadowCoord = M_Vl_Pl_L_Matrix * vec4(position, 1.0);
  gl_Position = project * (view * (model * vec4(position, 1.0)));
}
