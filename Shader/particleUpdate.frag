// Particle simulation, fragment stage: never runs, rasterisation is discarded while
// the update draws; the stage completes the program.
#version 430 core

out vec4 fragColor;

void main() {
  fragColor = vec4(0.0);
}
