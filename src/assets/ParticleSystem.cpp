// A burst of particles that lives on the graphics card: transform feedback between
// two buffers advances it, a geometry stage turns its points into glowing quads.
#include "assets/ParticleSystem.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>

namespace varn::assets {

namespace {

// Update program uniforms, in the order of updateLocations.
enum UpdateUniform {
  kTimePassed,
  kGenPosition,
  kGenVelocityMin,
  kGenVelocityRange,
  kGenColor,
  kGenGravityVector,
  kGenLifeMin,
  kGenLifeRange,
  kGenSize,
  kNumToGenerate,
  kRandomSeed,
};
constexpr const char* kUpdateUniformNames[11] = {
    "fTimePassed", "vGenPosition",  "vGenVelocityMin", "vGenVelocityRange", "vGenColor",  "vGenGravityVector",
    "fGenLifeMin", "fGenLifeRange", "fGenSize",        "iNumToGenerate",    "vRandomSeed"};

// Render program uniforms, in the order of renderLocations.
enum RenderUniform { kProjection, kView, kQuad1, kQuad2 };
constexpr const char* kRenderUniformNames[4] = {"matrices.mProj", "matrices.mView", "vQuad1", "vQuad2"};

// The captured outputs, in the byte order of Particle.
constexpr const char* kCapturedOutputs[6] = {"vPositionOut", "vVelocityOut", "vColorOut",
                                             "fLifeTimeOut", "fSizeOut",     "iTypeOut"};

// One seed component in [-10, 10] from the C library's generator, never seeded by the
// game, so every run bursts the same way.
float randomSeedComponent() {
  const int r = std::rand();
  return -10.0f + 20.0f * static_cast<float>(r % 32768) / 32767.0f;
}

const void* byteOffset(size_t offset) { return reinterpret_cast<const void*>(offset); }

// The programs every burst shares; empty until the first burst and after a release.
struct SharedPrograms {
  std::shared_ptr<render::Shader> update;
  std::shared_ptr<render::Shader> render;
};
SharedPrograms sharedPrograms;

void buildSharedPrograms() {
  sharedPrograms.update = render::makeParticleUpdateShader("Shader/particleUpdate.vert", "Shader/particleUpdate.geom",
                                                           "Shader/particleUpdate.frag");
  glTransformFeedbackVaryings(sharedPrograms.update->programHandle, 6, kCapturedOutputs, GL_INTERLEAVED_ATTRIBS);
  sharedPrograms.update->link();
  sharedPrograms.render = render::makeParticleRenderShader("Shader/particleRender.vert", "Shader/particleRender.geom",
                                                           "Shader/particleRender.frag");
  sharedPrograms.render->link();
}

}  // namespace

ParticleSystem::ParticleSystem() { initialize(); }

ParticleSystem::~ParticleSystem() {
  updateProgram.reset();
  renderProgram.reset();
  glDeleteBuffers(2, particleBuffer);
  glDeleteVertexArrays(2, vertexArray);
  glDeleteTransformFeedbacks(1, &transformFeedback);
  glDeleteQueries(1, &query);
  particleBuffer[0] = particleBuffer[1] = 0;
  vertexArray[0] = vertexArray[1] = 0;
  transformFeedback = 0;
  query = 0;
}

void releaseParticlePrograms() { sharedPrograms = {}; }

bool ParticleSystem::initialize() {
  if (initialized) return false;

  if (!sharedPrograms.update) buildSharedPrograms();
  updateProgram = sharedPrograms.update;
  renderProgram = sharedPrograms.render;
  glUseProgram(updateProgram->programHandle);
  for (int i = 0; i < 11; ++i) {
    updateLocations[i] = glGetUniformLocation(updateProgram->programHandle, kUpdateUniformNames[i]);
  }

  glUseProgram(renderProgram->programHandle);
  for (int i = 0; i < 4; ++i) {
    renderLocations[i] = glGetUniformLocation(renderProgram->programHandle, kRenderUniformNames[i]);
  }

  glGenTransformFeedbacks(1, &transformFeedback);
  glGenQueries(1, &query);
  glGenBuffers(2, particleBuffer);
  glGenVertexArrays(2, vertexArray);

  const Particle generator{};  // all zero: at the origin, type 0
  constexpr auto stride = static_cast<GLsizei>(sizeof(Particle));
  for (int k = 0; k < 2; ++k) {
    glBindVertexArray(vertexArray[k]);
    glBindBuffer(GL_ARRAY_BUFFER, particleBuffer[k]);
    glBufferData(GL_ARRAY_BUFFER, kParticleBufferBytes, nullptr, GL_DYNAMIC_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(Particle), &generator);
    for (GLuint location = 0; location < 6; ++location) glEnableVertexAttribArray(location);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, byteOffset(offsetof(Particle, vPosition)));
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, byteOffset(offsetof(Particle, vVelocity)));
    glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, stride, byteOffset(offsetof(Particle, vColor)));
    glVertexAttribPointer(3, 1, GL_FLOAT, GL_FALSE, stride, byteOffset(offsetof(Particle, fLifeTime)));
    glVertexAttribPointer(4, 1, GL_FLOAT, GL_FALSE, stride, byteOffset(offsetof(Particle, fSize)));
    // The integer type is converted to a float on the way in; the programs read it as one.
    glVertexAttribPointer(5, 1, GL_INT, GL_FALSE, stride, byteOffset(offsetof(Particle, iType)));
  }
  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);

  readBuffer = 0;
  numParticles = 1;
  age = 0.0f;
  initialized = true;
  return true;
}

void ParticleSystem::setGeneratorProperties(glm::vec3 position, glm::vec3 velocityMin, glm::vec3 velocityMax,
                                            glm::vec3 gravity, glm::vec3 colour, float lifeMin, float lifeMax,
                                            float size, float period, int32_t count, float durationSeconds) {
  if (propertiesSet) return;
  vGenPosition = position;
  vGenVelocityMin = velocityMin;
  vGenVelocityRange = velocityMax - velocityMin;
  vGenGravityVector = gravity;
  vGenColor = colour;
  fGenLifeMin = lifeMin;
  fGenLifeRange = lifeMax - lifeMin;
  fGenSize = size;
  generationPeriod = period;
  iNumToGenerate = count;
  duration = durationSeconds;
  // Above every preset's period, so a new burst emits on its very first step.
  elapsedTime = 0.8f;
  propertiesSet = true;
}

void ParticleSystem::setMatrices(const glm::mat4& projectionMatrix, const glm::mat4& viewMatrix, glm::vec3 position,
                                 glm::vec3 viewDirection, glm::vec3 up) {
  mProjection = projectionMatrix;
  mView = viewMatrix;
  const glm::vec3 dir = glm::normalize(viewDirection - position);
  glm::vec3 right = glm::cross(dir, up);
  // Looking along the up vector leaves no right vector; any axis across the view will do
  // for a round glow, and it keeps NaNs out of the quads.
  if (!(glm::length(right) > 1e-6f)) {
    right = glm::cross(dir, std::fabs(dir.x) < 0.9f ? glm::vec3(1.0f, 0.0f, 0.0f) : glm::vec3(0.0f, 0.0f, 1.0f));
  }
  vQuad1 = glm::normalize(right);
  vQuad2 = glm::normalize(glm::cross(dir, vQuad1));
}

void ParticleSystem::update(float timePassed) {
  if (!initialized) return;

  glUseProgram(updateProgram->programHandle);
  glUniform1f(updateLocations[kTimePassed], timePassed);
  glUniform3fv(updateLocations[kGenPosition], 1, &vGenPosition[0]);
  glUniform3fv(updateLocations[kGenVelocityMin], 1, &vGenVelocityMin[0]);
  glUniform3fv(updateLocations[kGenVelocityRange], 1, &vGenVelocityRange[0]);
  glUniform3fv(updateLocations[kGenColor], 1, &vGenColor[0]);
  glUniform3fv(updateLocations[kGenGravityVector], 1, &vGenGravityVector[0]);
  glUniform1f(updateLocations[kGenLifeMin], fGenLifeMin);
  glUniform1f(updateLocations[kGenLifeRange], fGenLifeRange);
  glUniform1f(updateLocations[kGenSize], fGenSize);
  glUniform1i(updateLocations[kNumToGenerate], 0);

  elapsedTime += timePassed;
  if (elapsedTime > generationPeriod) {
    glUniform1i(updateLocations[kNumToGenerate], iNumToGenerate);
    // One emission per step at most; the remainder carries over to the next.
    elapsedTime -= generationPeriod;
    glm::vec3 seed;
    seed.z = randomSeedComponent();
    seed.y = randomSeedComponent();
    seed.x = randomSeedComponent();
    glUniform3fv(updateLocations[kRandomSeed], 1, &seed[0]);
  }

  glEnable(GL_RASTERIZER_DISCARD);
  glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, transformFeedback);
  glBindVertexArray(vertexArray[readBuffer]);
  glEnableVertexAttribArray(1);  // the render step switches velocity off
  glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, particleBuffer[1 - readBuffer]);

  glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, query);
  glBeginTransformFeedback(GL_POINTS);
  glDrawArrays(GL_POINTS, 0, numParticles);
  glEndTransformFeedback();
  glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);

  // The one wait for the GPU: the draw needs to know how many particles survived.
  glGetQueryObjectiv(query, GL_QUERY_RESULT, &numParticles);
  readBuffer = 1 - readBuffer;

  glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, 0);
  glBindVertexArray(0);
}

void ParticleSystem::render() {
  if (!initialized) return;

  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  // Hidden behind the scene by the depth test, but the glows never hide each other.
  glDepthMask(GL_FALSE);
  glDisable(GL_RASTERIZER_DISCARD);

  glUseProgram(renderProgram->programHandle);
  glUniformMatrix4fv(renderLocations[kProjection], 1, GL_FALSE, &mProjection[0][0]);
  glUniformMatrix4fv(renderLocations[kView], 1, GL_FALSE, &mView[0][0]);
  glUniform3fv(renderLocations[kQuad1], 1, &vQuad1[0]);
  glUniform3fv(renderLocations[kQuad2], 1, &vQuad2[0]);

  glBindVertexArray(vertexArray[readBuffer]);
  glDisableVertexAttribArray(1);
  glDrawArrays(GL_POINTS, 0, numParticles);
  glBindVertexArray(0);

  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
}

}  // namespace varn::assets
