// Translucent bullets: a glassy body in "color" that grows denser towards its rim;
// with "alpha" 1 (transparency off) the bullet is fully opaque.
#version 430 core

in vec3 viewNormal;
in vec3 viewPosition;

out vec4 fragColor;

uniform vec3 color;  // may exceed 1 in a channel: the body then saturates to full brightness there
uniform float alpha;

void main() {
  vec3 n = normalize(viewNormal);
  vec3 toEye = normalize(-viewPosition);
  float rim = 1.0 - abs(dot(n, toEye));
  rim = rim * rim;
  vec3 colour = min(color * (0.75 + 0.5 * rim), vec3(1.0));
  // A little denser than "alpha" alone, most of all at the rim, so a small bullet still
  // reads as cyan glass over the red-lit floor.
  fragColor = vec4(colour, clamp(alpha + (1.0 - alpha) * (0.15 + 0.55 * rim), 0.0, 1.0));
}
