// Inspection view of the shadow map: the stored depth turned back into a linear distance.
#version 430 core

in vec2 uv;
out vec4 fragColor;

uniform sampler2D depthMap;  // the depth texture, read without comparison
uniform float near_plane;
uniform float far_plane;

float linearDepth(float depth) {
  float z = depth * 2.0 - 1.0;  // back to normalised device coordinates
  return (2.0 * near_plane * far_plane) / (far_plane + near_plane - z * (far_plane - near_plane));
}

void main() {
  float depth = texture(depthMap, uv).r;
  fragColor = vec4(vec3(linearDepth(depth) / far_plane), 1.0);
}
