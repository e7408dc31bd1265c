// Particle simulation, geometry stage: the generator (type 0) is copied through and
// emits "iNumToGenerate" new particles (type 1); every other particle ages, moves under
// gravity, and is dropped once its lifetime has run out. The surviving points are
// captured by transform feedback in the order of the particle record.
#version 430 core

layout(points) in;
// The generator plus at most 40 new particles, the most any hit asks for in one emission.
// Kept as small as that: a software renderer reserves room for max_vertices outputs of
// every particle it runs through this stage, emitted or not.
layout(points, max_vertices = 41) out;

in vec3 vPositionPass[];
in vec3 vVelocityPass[];
in vec3 vColorPass[];
in float fLifeTimePass[];
in float fSizePass[];
flat in int iTypePass[];

out vec3 vPositionOut;
out vec3 vVelocityOut;
out vec3 vColorOut;
out float fLifeTimeOut;
out float fSizeOut;
flat out int iTypeOut;  // captured as the integer bits the buffer stores

uniform float fTimePassed;  // seconds since the last step
uniform vec3 vGenPosition;
uniform vec3 vGenVelocityMin;
uniform vec3 vGenVelocityRange;
uniform vec3 vGenColor;
uniform vec3 vGenGravityVector;
uniform float fGenLifeMin;
uniform float fGenLifeRange;
uniform float fGenSize;
uniform int iNumToGenerate;  // 0 in steps without an emission
uniform vec3 vRandomSeed;    // fresh from the CPU for every emission

const int kMaxEmitted = 40;

// Integer mixing (a 32-bit avalanche hash): the same seed gives the same burst on every GPU.
uint mixBits(uint x) {
  x ^= x >> 16;
  x *= 0x7feb352du;
  x ^= x >> 15;
  x *= 0x846ca68bu;
  x ^= x >> 16;
  return x;
}

uint randomState;

// Uniform in [0, 1).
float nextRandom() {
  randomState = mixBits(randomState + 0x9e3779b9u);
  return float(randomState >> 8) * (1.0 / 16777216.0);
}

// A start velocity inside the box [min, min + range]: a point of the ellipsoid that
// fits the box, weighted towards its shell so that a burst reads as a round blast.
vec3 startVelocity() {
  float z = nextRandom() * 2.0 - 1.0;
  float angle = nextRandom() * 6.2831853;
  float ring = sqrt(max(0.0, 1.0 - z * z));
  vec3 direction = vec3(ring * cos(angle), ring * sin(angle), z);
  float radius = 0.3 + 0.7 * sqrt(nextRandom());
  return vGenVelocityMin + vGenVelocityRange * (0.5 + 0.5 * radius * direction);
}

void main() {
  if (iTypePass[0] == 0) {
    vPositionOut = vPositionPass[0];
    vVelocityOut = vVelocityPass[0];
    vColorOut = vColorPass[0];
    fLifeTimeOut = fLifeTimePass[0];
    fSizeOut = fSizePass[0];
    iTypeOut = 0;
    EmitVertex();
    EndPrimitive();

    randomState = mixBits(floatBitsToUint(vRandomSeed.x)) ^ mixBits(floatBitsToUint(vRandomSeed.y) ^ 0x68e31da4u) ^
                  mixBits(floatBitsToUint(vRandomSeed.z) ^ 0xb5297a4du);
    int count = clamp(iNumToGenerate, 0, kMaxEmitted);
    for (int i = 0; i < count; ++i) {
      // Each new particle is born at some moment within this step and has flown since,
      // so a burst opens up at once instead of starting as one point.
      vec3 velocity = startVelocity();
      vPositionOut = vGenPosition + velocity * (fTimePassed * nextRandom());
      vVelocityOut = velocity;
      vColorOut = vGenColor;
      fLifeTimeOut = fGenLifeMin + fGenLifeRange * nextRandom();
      fSizeOut = fGenSize;
      iTypeOut = 1;
      EmitVertex();
      EndPrimitive();
    }
    return;
  }

  float life = fLifeTimePass[0] - fTimePassed;
  if (life <= 0.0) return;
  vPositionOut = vPositionPass[0] + vVelocityPass[0] * fTimePassed;
  vVelocityOut = vVelocityPass[0] + vGenGravityVector * fTimePassed;
  vColorOut = vColorPass[0];
  fLifeTimeOut = life;
  fSizeOut = fSizePass[0];
  iTypeOut = iTypePass[0];
  EmitVertex();
  EndPrimitive();
}
