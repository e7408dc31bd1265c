// Particle drawing, geometry stage: each living particle becomes a quad facing the
// camera, spanned by "vQuad1" and "vQuad2"; the generator (type 0) is not drawn.
#version 430 core

layout(points) in;
layout(triangle_strip, max_vertices = 4) out;

uniform struct Matrices {
  mat4 mProj;
  mat4 mView;
} matrices;
uniform vec3 vQuad1;  // camera right
uniform vec3 vQuad2;  // camera up (or down: the glow is round, so either works)

in vec3 vColorPass[];
in float fLifeTimePass[];
in float fSizePass[];
flat in int iTypePass[];

out vec2 corner;      // -1 .. 1 across the quad
// rgb, and the strength that the additive blend scales it by; one value for the whole
// quad, so it is passed flat rather than interpolated across every pixel.
flat out vec4 glowColour;

const float kMinHalfEdge = 0.04;   // world units: even the finest sparks stay a few pixels wide
const float kHalfEdgePerSize = 3.0;
const float kFadeSeconds = 0.35;   // the last part of a particle's life in which it dies away
const float kPullToViewer = 0.3;   // world units: a spark born on a surface glows in front of it

void main() {
  if (iTypePass[0] == 0) return;

  float life = max(fLifeTimePass[0], 0.0);
  float strength = smoothstep(0.0, kFadeSeconds, life);
  // A dying spark cools from its colour towards a deep ember.
  vec3 colour = mix(vColorPass[0] * vec3(0.8, 0.25, 0.15), vColorPass[0], strength);
  vec4 glow = vec4(colour, strength);

  vec3 centre = gl_in[0].gl_Position.xyz;
  float halfEdge = kMinHalfEdge + fSizePass[0] * kHalfEdgePerSize;
  // Hits happen on the surface of what was hit: move the glow towards the eye (the origin
  // of view space) so that surface does not swallow half of it.
  vec4 viewCentre = matrices.mView * vec4(centre, 1.0);
  float eyeDistance = length(viewCentre.xyz);
  vec3 pull = eyeDistance > 0.0 ? -viewCentre.xyz / eyeDistance * min(kPullToViewer, 0.5 * eyeDistance) : vec3(0.0);
  const vec2 corners[4] = vec2[4](vec2(-1.0, -1.0), vec2(1.0, -1.0), vec2(-1.0, 1.0), vec2(1.0, 1.0));
  vec4 clip[4];
  for (int i = 0; i < 4; ++i) {
    vec3 world = centre + (vQuad1 * corners[i].x + vQuad2 * corners[i].y) * halfEdge;
    vec4 eyeSpace = matrices.mView * vec4(world, 1.0);
    clip[i] = matrices.mProj * vec4(eyeSpace.xyz + pull, 1.0);
  }
  // The frame culls back faces, and whether the quad axes wind counter-clockwise on
  // screen depends on the camera: walk the strip in the order that faces the viewer.
  vec2 a = clip[0].xy / clip[0].w;
  vec2 b = clip[1].xy / clip[1].w;
  vec2 c = clip[2].xy / clip[2].w;
  float winding = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
  const int forward[4] = int[4](0, 1, 2, 3);
  const int mirrored[4] = int[4](1, 0, 3, 2);
  for (int i = 0; i < 4; ++i) {
    int k = winding >= 0.0 ? forward[i] : mirrored[i];
    // Outputs are undefined after each EmitVertex, so every vertex sets all of them.
    corner = corners[k];
    glowColour = glow;
    gl_Position = clip[k];
    EmitVertex();
  }
  EndPrimitive();
}
