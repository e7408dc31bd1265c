// The last step of a frame: a pending hit becomes a new burst, every burst is
// simulated and drawn once, and bursts whose time is up are retired.
#include "render/ParticleStep.h"

#include "app/Globals.h"
#include "render/ExplosionPresets.h"
#include "render/PlayerView.h"
#include "render/Projection.h"
#include "render/RenderState.h"

namespace varn::render {

namespace {

constexpr float kParticleFar = 50.0f;  // world units: a little deeper than the camera's kPlayerFar

}  // namespace

void particleStep() {
  // Several hits in one frame have already collapsed into one request.
  if (explosionPending) {
    particleSystems.push_back(std::make_unique<assets::ParticleSystem>());
    explosionPending = false;
  }

  particleProjection = perspectiveMatrix(kPlayerFieldOfView,
                                         static_cast<float>(framebufferWidth) / static_cast<float>(framebufferHeight),
                                         kPlayerNear, kParticleFar);

  for (auto it = particleSystems.begin(); it != particleSystems.end();) {
    assets::ParticleSystem& system = **it;
    // Only the first preset a system receives takes effect: the look of the hit that made it.
    applyExplosionPreset(system, explosionKind, explosionPosition);
    system.setMatrices(particleProjection, activeCamera->modelMatrix, activeCamera->position, activeCamera->direction,
                       activeCamera->up);
    system.update(deltaTime);
    system.render();
    system.age += deltaTime;
    if (system.age > system.duration) {
      it = particleSystems.erase(it);  // the next system still gets its turn this frame
    } else {
      ++it;
    }
  }
}

}  // namespace varn::render
