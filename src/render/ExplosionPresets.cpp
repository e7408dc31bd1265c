// The three hit effects: cyan sparks off the walls, hot orange sparks off an enemy,
// and the long, rising blast of the factory's destruction button.
#include "render/ExplosionPresets.h"

namespace varn::render {

namespace {

// In HitKind order.
constexpr ExplosionPreset kPresets[kHitKinds] = {
    // kHitLevel: a bullet hits the level.
    {{-2.0f, -2.0f, -2.0f},
     {1.0f, 1.0f, 1.0f},
     {0.0f, 0.0f, 0.0f},
     {0.1f, 0.7f, 0.85f},
     0.5f,
     1.5f,
     0.015f,
     0.01f,
     35,
     0.2f},
    // kHitEnemy: a bullet hits an enemy.
    {{-2.0f, -2.0f, -2.0f},
     {3.0f, 5.0f, 3.0f},
     {0.0f, 0.0f, 0.0f},
     {1.5f, 0.4f, 0.1f},
     0.25f,
     1.0f,
     0.015f,
     0.02f,
     40,
     0.3f},
    // kHitButton: a bullet hits the destruction button.
    {{-5.0f, -5.0f, -5.0f},
     {5.0f, 8.0f, 5.0f},
     {0.0f, 1.0f, 0.0f},
     {1.0f, 0.5f, 0.1f},
     0.8f,
     2.0f,
     0.08f,
     0.0008f,
     20,
     4.5f},
};

}  // namespace

const ExplosionPreset& explosionPreset(int32_t kind) {
  if (kind < 0 || kind >= kHitKinds) return kPresets[kHitLevel];
  return kPresets[kind];
}

void applyExplosionPreset(assets::ParticleSystem& system, int32_t kind, glm::vec3 position) {
  const ExplosionPreset& preset = explosionPreset(kind);
  system.setGeneratorProperties(position, preset.velocityMin, preset.velocityMax, preset.gravity, preset.colour,
                                preset.lifeMin, preset.lifeMax, preset.size, preset.period, preset.count,
                                preset.duration);
}

}  // namespace varn::render
