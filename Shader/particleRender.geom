// Particle drawing, geometry stage: each living particle becomes an octagon facing the
// camera, spanned by "vQuad1" and "vQuad2", just round its glow; the generator (type 0)
// is not drawn.
#version 430 core

layout(points) in;
layout(triangle_strip, max_vertices = 8) out;

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

// -1 .. 1 across the square that holds the glow; the shape faces the camera, so it is
// interpolated in screen space (see the fragment stage).
noperspective out vec2 corner;
// rgb, and the share of it that the additive blend adds; one value for the whole
// quad, so it is passed flat rather than interpolated across every pixel.
flat out vec4 glowColour;

const float kMinHalfEdge = 0.04;   // world units: even the finest sparks stay a few pixels wide
const float kHalfEdgePerSize = 3.0;
const float kFadeSeconds = 0.35;   // the last part of a particle's life in which it dies away
const float kPullToViewer = 0.3;   // world units: a spark born on a surface glows in front of it
const float kShareAdded = 0.55;    // of a spark's colour: overlapping sparks build up to white

// A point of the particle's square (k in -1 .. 1 along "vQuad1" and "vQuad2") in clip space.
vec4 clipOf(vec3 centre, vec2 k, float halfEdge, vec3 pull) {
  vec3 world = centre + (vQuad1 * k.x + vQuad2 * k.y) * halfEdge;
  vec4 eyeSpace = matrices.mView * vec4(world, 1.0);
  return matrices.mProj * vec4(eyeSpace.xyz + pull, 1.0);
}

void main() {
  if (iTypePass[0] == 0) return;

  float life = max(fLifeTimePass[0], 0.0);
  float strength = smoothstep(0.0, kFadeSeconds, life);
  // A dying spark cools from its colour towards a deep ember.
  vec3 colour = mix(vColorPass[0] * vec3(0.8, 0.25, 0.15), vColorPass[0], strength);
  vec4 glow = vec4(colour, strength * kShareAdded);

  vec3 centre = gl_in[0].gl_Position.xyz;
  float halfEdge = kMinHalfEdge + fSizePass[0] * kHalfEdgePerSize;
  // Hits happen on the surface of what was hit: move the glow towards the eye (the origin
  // of view space) so that surface does not swallow half of it.
  vec4 viewCentre = matrices.mView * vec4(centre, 1.0);
  float eyeDistance = length(viewCentre.xyz);
  vec3 pull = eyeDistance > 0.0 ? -viewCentre.xyz / eyeDistance * min(kPullToViewer, 0.5 * eyeDistance) : vec3(0.0);
  // The frame culls back faces, and whether the quad axes wind counter-clockwise on
  // screen depends on the camera: mirror the shape across its up axis when they do not.
  vec4 a = clipOf(centre, vec2(-1.0, -1.0), halfEdge, pull);
  vec4 b = clipOf(centre, vec2(1.0, -1.0), halfEdge, pull);
  vec4 c = clipOf(centre, vec2(-1.0, 1.0), halfEdge, pull);
  vec2 ab = b.xy / b.w - a.xy / a.w;
  vec2 ac = c.xy / c.w - a.xy / a.w;
  float mirror = ab.x * ac.y - ab.y * ac.x >= 0.0 ? 1.0 : -1.0;
  // The octagon whose sides touch the unit circle, counter-clockwise, walked as a strip:
  // the glow is round and adds nothing beyond the circle, so the square's corners
  // (a fifth of its pixels) need never be rasterised.
  const float t = 0.41421356;  // tan(22.5 degrees)
  const vec2 octagon[8] = vec2[8](vec2(1.0, t), vec2(t, 1.0), vec2(1.0, -t), vec2(-t, 1.0), vec2(t, -1.0),
                                  vec2(-1.0, t), vec2(-t, -1.0), vec2(-1.0, -t));
  for (int i = 0; i < 8; ++i) {
    vec2 k = vec2(octagon[i].x * mirror, octagon[i].y);
    // Outputs are undefined after each EmitVertex, so every vertex sets all of them.
    corner = k;
    glowColour = glow;
    gl_Position = clipOf(centre, k, halfEdge, pull);
    EmitVertex();
  }
  EndPrimitive();
}
