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
  fragColor = vec4(colour, clamp(alpha + (1.0 - alpha) * 0.6 * rim, 0.0, 1.0));
}
