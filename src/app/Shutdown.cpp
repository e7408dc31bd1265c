// Shutdown: every OpenGL object still owned by the game is released here, while the
// context is current. After glfwTerminate nothing may touch OpenGL any more.
#include "app/Shutdown.h"

#include "app/Globals.h"
#include "assets/ParticleSystem.h"
#include "render/RenderState.h"
#include "render/ShadowCache.h"

namespace varn::app {

void cleanup() {
  render::cube.reset();
  render::simpleShader.reset();
  render::texturedShader.reset();
  render::celShader.reset();
  render::silhouetteShader.reset();
  // The list keeps its length; its owners are empty from here on.
  for (std::unique_ptr<scene::Bullet>& bullet : bullets) bullet.reset();

  // These would otherwise be destroyed at process exit, after the context is gone.
  render::depthShader.reset();
  render::debugQuadShader.reset();
  render::transparentShader.reset();
  render::particleSystems.clear();
  assets::releaseParticlePrograms();
  // The shadow map's framebuffer and depth texture have no owner object; release them by name.
  glDeleteFramebuffers(1, &render::depthFramebuffer);
  glDeleteTextures(1, &render::depthTexture);
  render::depthFramebuffer = 0;
  render::depthTexture = 0;
  render::releaseShadowCache();
}

}  // namespace varn::app
