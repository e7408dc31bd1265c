// The looks of the three kinds of bullet hit, as particle generator settings.
#pragma once

#include <cstdint>
#include <glm/glm.hpp>

#include "app/HitKind.h"
#include "assets/ParticleSystem.h"

namespace varn::render {

struct ExplosionPreset {
  glm::vec3 velocityMin;  // world units per second, per axis
  glm::vec3 velocityMax;
  glm::vec3 gravity;  // world units per second squared
  glm::vec3 colour;   // may exceed 1: the additive glow saturates
  float lifeMin;      // seconds
  float lifeMax;      // seconds
  float size;         // world units
  float period;       // seconds between emissions
  int32_t count;      // particles per emission
  float duration;     // seconds the burst lives
};

// The preset of a hit kind (a HitKind). A kind the game does not know falls back to the level hit
// rather than reading past the table.
const ExplosionPreset& explosionPreset(int32_t kind);

// Hands the preset of the kind, placed at position, to the system's generator
// (which keeps only the first settings it is given).
void applyExplosionPreset(assets::ParticleSystem& system, int32_t kind, glm::vec3 position);

}  // namespace varn::render
