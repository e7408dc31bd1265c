// Render state that lives for the whole run: programs, their uniform locations,
// the shadow framebuffer, the lights, the projection, the frustum and the particle systems.
#pragma once

#include <GL/glew.h>

#include <glm/glm.hpp>
#include <memory>
#include <vector>

#include "assets/Cube.h"
#include "assets/ParticleSystem.h"
#include "render/Frustum.h"
#include "render/Light.h"
#include "render/Shader.h"

namespace varn::render {

// Uniform locations of one lit program (simple, textured and cel share the names).
struct LitLocations {
  GLint model = -1, view = -1, project = -1, cameraPosition = -1, lightPosition = -1, lightAmbient = -1,
        lightDiffuse = -1, materialColor = -1, materialAmbient = -1, materialDiffuse = -1, materialSpecular = -1,
        materialShininess = -1, shadowMatrix = -1, shadowMap = -1;
};

struct SilhouetteLocations {
  GLint model = -1, view = -1, project = -1, offset = -1, color = -1;
};

struct TransparentLocations {
  GLint model = -1, view = -1, project = -1;
};

constexpr int kShadowMapSize = 2048;  // texels per side of the depth texture

extern int framebufferWidth;
extern int framebufferHeight;
extern GLuint depthFramebuffer;
extern GLuint depthTexture;
extern std::unique_ptr<Shader> depthShader;
extern std::unique_ptr<Shader> debugQuadShader;
extern std::unique_ptr<Shader> simpleShader;
extern std::unique_ptr<Shader> texturedShader;
extern std::unique_ptr<Shader> silhouetteShader;
extern std::unique_ptr<Shader> celShader;
extern std::unique_ptr<Shader> transparentShader;
extern GLint depthMatrixLocation;  // "M_Vl_Pl_Matrix" of depthShader
extern LitLocations simpleLocations;
extern LitLocations texturedLocations;
extern LitLocations celLocations;
extern SilhouetteLocations silhouetteLocations;
extern TransparentLocations transparentLocations;
extern glm::mat4 projection;
extern std::vector<Light> lights;
extern std::unique_ptr<scene::Cube> cube;
extern Frustum viewFrustum;
extern std::vector<std::unique_ptr<assets::ParticleSystem>> particleSystems;
extern glm::mat4 particleProjection;

}  // namespace varn::render
