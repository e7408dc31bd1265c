// Particle drawing: a round glow with a white-hot core, added onto the scene.
#version 430 core

// The octagon faces the camera, so every point of it is at the same depth and plain
// screen-space interpolation gives the same values as the perspective-correct kind
// without the per-pixel division.
noperspective in vec2 corner;
flat in vec4 glowColour;

out vec4 fragColor;

void main() {
  // Beyond the unit circle (the octagon's corners) both terms are zero and the pixel
  // adds no colour, so nothing is discarded.
  float d2 = min(dot(corner, corner), 1.0);
  float rim = 1.0 - d2;
  // The core falls off as exp(-16 d2); (1 - d2 / 4)^64 follows it to within 0.005 in a
  // few multiplications, where exp needs a polynomial and bit tricks per pixel.
  float core = 1.0 - 0.25 * d2;
  core *= core;
  core *= core;
  core *= core;
  core *= core;
  core *= core;
  core *= core;
  // Many sparks overlap where a burst starts: each adds only part of its colour, so the
  // centre saturates to white-hot while the flying sparks keep the burst's colour.
  fragColor = vec4(glowColour.rgb * (rim * rim) + vec3(core * 0.2), glowColour.a);
}
