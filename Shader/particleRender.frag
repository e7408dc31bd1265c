// Particle drawing: a round glow with a white-hot core, added onto the scene.
#version 430 core

in vec2 corner;
flat in vec4 glowColour;

out vec4 fragColor;

void main() {
  float d2 = dot(corner, corner);
  if (d2 >= 1.0) discard;
  float glow = (1.0 - d2) * (1.0 - d2);
  float core = exp(-d2 * 16.0);
  // Many sparks overlap where a burst starts: each adds only part of its colour, so the
  // centre saturates to white-hot while the flying sparks keep the burst's colour.
  vec3 colour = glowColour.rgb * glow + vec3(core * 0.2);
  fragColor = vec4(colour, glowColour.a * 0.55);
}
