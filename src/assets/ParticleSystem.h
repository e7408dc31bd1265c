// One burst of particles simulated on the graphics card: two ping-pong buffers
// advanced by transform feedback, drawn as additive camera-facing quads.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <glm/glm.hpp>
#include <memory>

#include "render/Shader.h"

namespace varn::assets {

// One particle in the buffers, 48 bytes; also the order of the captured outputs.
struct Particle {
  glm::vec3 vPosition{0.0f};
  glm::vec3 vVelocity{0.0f};
  glm::vec3 vColor{0.0f};
  float fLifeTime = 0.0f;
  float fSize = 0.0f;
  int32_t iType = 0;  // 0 is the generator
};
static_assert(sizeof(Particle) == 48, "the particle buffer layout is 48 bytes per particle");

constexpr GLsizeiptr kParticleBufferBytes = 4800000;  // room for 100,000 particles

class ParticleSystem {
 public:
  ParticleSystem();
  ~ParticleSystem();
  ParticleSystem(const ParticleSystem&) = delete;
  ParticleSystem& operator=(const ParticleSystem&) = delete;

  bool initialize();
  // Takes effect on the first call only.
  void setGeneratorProperties(glm::vec3 position, glm::vec3 velocityMin, glm::vec3 velocityMax, glm::vec3 gravity,
                              glm::vec3 colour, float lifeMin, float lifeMax, float size, float period, int32_t count,
                              float duration);
  void setMatrices(const glm::mat4& projection, const glm::mat4& view, glm::vec3 position, glm::vec3 viewDirection,
                   glm::vec3 up);
  // One simulation step; leaves rasterisation discarded until render().
  void update(float timePassed);
  void render();

  bool initialized = false;
  float age = 0.0f;       // seconds alive; advanced by the owner
  float duration = 0.0f;  // the owner removes the system once age exceeds it
  bool propertiesSet = false;
  GLuint transformFeedback = 0;
  GLuint particleBuffer[2] = {0, 0};
  GLuint vertexArray[2] = {0, 0};
  GLuint query = 0;
  int32_t readBuffer = 0;
  int32_t numParticles = 0;
  glm::mat4 mProjection{1.0f};
  glm::mat4 mView{1.0f};
  glm::vec3 vQuad1{0.0f};
  glm::vec3 vQuad2{0.0f};
  float elapsedTime = 0.0f;
  float generationPeriod = 0.0f;
  glm::vec3 vGenPosition{0.0f};
  glm::vec3 vGenVelocityMin{0.0f};
  glm::vec3 vGenVelocityRange{0.0f};
  glm::vec3 vGenGravityVector{0.0f};
  glm::vec3 vGenColor{0.0f};
  float fGenLifeMin = 0.0f;
  float fGenLifeRange = 0.0f;
  float fGenSize = 0.0f;
  int32_t iNumToGenerate = 0;
  // Every burst runs the same two programs: they are built for the first burst and lent
  // to every later one (building them, and llvmpipe compiling them again on their first
  // draw, made the frame of each hit stall), until releaseParticlePrograms.
  std::shared_ptr<render::Shader> renderProgram;
  std::shared_ptr<render::Shader> updateProgram;
  // "fTimePassed", "vGenPosition", "vGenVelocityMin", "vGenVelocityRange", "vGenColor",
  // "vGenGravityVector", "fGenLifeMin", "fGenLifeRange", "fGenSize", "iNumToGenerate", "vRandomSeed"
  GLint updateLocations[11] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  // "matrices.mProj", "matrices.mView", "vQuad1", "vQuad2"
  GLint renderLocations[4] = {-1, -1, -1, -1};
};

// Releases the programs that the bursts share once no burst holds them any more; shutdown
// calls it while the context is current. The next burst builds them afresh.
void releaseParticlePrograms();

}  // namespace varn::assets
