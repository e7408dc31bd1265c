// Definitions of the render state that init fills in and the frame reads.
#include "render/RenderState.h"

namespace varn::render {

int framebufferWidth = 0;
int framebufferHeight = 0;
GLuint depthFramebuffer = 0;
GLuint depthTexture = 0;
std::unique_ptr<Shader> depthShader;
std::unique_ptr<Shader> debugQuadShader;
std::unique_ptr<Shader> simpleShader;
std::unique_ptr<Shader> texturedShader;
std::unique_ptr<Shader> silhouetteShader;
std::unique_ptr<Shader> celShader;
std::unique_ptr<Shader> transparentShader;
GLint depthMatrixLocation = -1;
LitLocations simpleLocations;
LitLocations texturedLocations;
LitLocations celLocations;
SilhouetteLocations silhouetteLocations;
TransparentLocations transparentLocations;
glm::mat4 projection{1.0f};
std::vector<Light> lights;
std::unique_ptr<scene::Cube> cube;
Frustum viewFrustum;
std::vector<std::unique_ptr<assets::ParticleSystem>> particleSystems;
glm::mat4 particleProjection{1.0f};

}  // namespace varn::render
