// Particle drawing, vertex stage: passes one particle to the quad expansion. The
// velocity array is switched off while drawing, so it is not read here.
#version 430 core

layout(location = 0) in vec3 vPosition;
layout(location = 2) in vec3 vColor;
layout(location = 3) in float fLifeTime;
layout(location = 4) in float fSize;
layout(location = 5) in float iType;

out vec3 vColorPass;
out float fLifeTimePass;
out float fSizePass;
flat out int iTypePass;

void main() {
  gl_Position = vec4(vPosition, 1.0);  // world position; projected in the geometry stage
  vColorPass = vColor;
  fLifeTimePass = fLifeTime;
  fSizePass = fSize;
  iTypePass = int(round(iType));
}
