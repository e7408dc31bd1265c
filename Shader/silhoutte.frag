// Outline of the robots and bullets: one flat colour, blended by "alpha" for the bullets.
#version 430 core

out vec4 fragColor;

uniform vec3 color1;
uniform float alpha;

void main() {
  fragColor = vec4(color1, alpha);
}
