// The level's depth kept between frames for the shadow pass, and the texel rectangles the
// moving casters covered, which are all that each frame has to give back to the map.
#include "render/ShadowCache.h"

#include <algorithm>
#include <cmath>
#include <glm/gtc/type_ptr.hpp>
#include <vector>

#include "app/Globals.h"
#include "render/RenderState.h"

namespace varn::render {

GLuint shadowCacheTexture = 0;
bool shadowCacheOn = true;

namespace {

// A rectangle of shadow-map texels, from (x, y) on, width by height.
struct TexelRect {
  GLint x = 0, y = 0;
  GLsizei width = kShadowMapSize, height = kShadowMapSize;
};

// Everything the level's depth in the map depends on besides the level's vertices.
struct CacheKey {
  glm::vec3 lightPosition{0.0f};
  glm::mat4 levelMatrix{1.0f};
  GLint polygonMode = GL_FILL;  // F3's lines are drawn into the map too
  GLuint liveTexture = 0;
  const assets::Mesh* levelMeshes = nullptr;
  size_t levelMeshCount = 0;
  bool operator==(const CacheKey& other) const {
    return lightPosition == other.lightPosition && levelMatrix == other.levelMatrix &&
           polygonMode == other.polygonMode && liveTexture == other.liveTexture &&
           levelMeshes == other.levelMeshes && levelMeshCount == other.levelMeshCount;
  }
};

bool cacheValid = false;
CacheKey cachedFor;
std::vector<TexelRect> moverRects;  // what last frame's moving casters may have covered

// A texel or two beyond the rasterised area: lines and polygon edges may reach into them.
constexpr int kRectMargin = 2;

CacheKey currentKey(const glm::vec3& lightPosition) {
  CacheKey key;
  key.lightPosition = lightPosition;
  key.levelMatrix = levelMap.modelMatrix;
  GLint modes[2] = {GL_FILL, GL_FILL};
  glGetIntegerv(GL_POLYGON_MODE, modes);
  key.polygonMode = modes[0];
  key.liveTexture = depthTexture;
  key.levelMeshes = levelMap.model.meshes.data();
  key.levelMeshCount = levelMap.model.meshes.size();
  return key;
}

// The texels a model's box covers in the map; the whole map when part of the box lies
// behind the light's eye, where the projection of its corners says nothing.
TexelRect texelsCovered(const glm::mat4& depthMatrix, const assets::Model& model) {
  glm::vec2 least(1e30f), greatest(-1e30f);
  for (int i = 0; i < 8; ++i) {
    const glm::vec3 corner((i & 1) ? model.cornerA.x : model.cornerB.x, (i & 2) ? model.cornerA.y : model.cornerB.y,
                           (i & 4) ? model.cornerA.z : model.cornerB.z);
    const glm::vec4 clip = depthMatrix * glm::vec4(corner, 1.0f);
    if (clip.w <= 1e-4f) return TexelRect{};
    const glm::vec2 texel = (glm::vec2(clip) / clip.w * 0.5f + 0.5f) * static_cast<float>(kShadowMapSize);
    least = glm::min(least, texel);
    greatest = glm::max(greatest, texel);
  }
  const auto clamp = [](float v) { return std::clamp(static_cast<int>(std::floor(v)), 0, kShadowMapSize); };
  TexelRect rect;
  rect.x = clamp(least.x - kRectMargin);
  rect.y = clamp(least.y - kRectMargin);
  rect.width = clamp(greatest.x + kRectMargin + 1) - rect.x;
  rect.height = clamp(greatest.y + kRectMargin + 1) - rect.y;
  return rect;
}

void copyTexels(GLuint from, GLuint to, const TexelRect& rect) {
  if (rect.width <= 0 || rect.height <= 0) return;
  glCopyImageSubData(from, GL_TEXTURE_2D, 0, rect.x, rect.y, 0, to, GL_TEXTURE_2D, 0, rect.x, rect.y, 0, rect.width,
                     rect.height, 1);
}

void ensureCacheTexture() {
  if (shadowCacheTexture != 0) return;
  glGenTextures(1, &shadowCacheTexture);
  glBindTexture(GL_TEXTURE_2D, shadowCacheTexture);
  glTexStorage2D(GL_TEXTURE_2D, 1, GL_DEPTH_COMPONENT24, kShadowMapSize, kShadowMapSize);
  glBindTexture(GL_TEXTURE_2D, 0);
}

void drawCaster(const glm::mat4& lightMatrix, const glm::mat4& model, const assets::Model& drawn, bool moving) {
  const glm::mat4 matrix = lightMatrix * model;
  glUniformMatrix4fv(depthMatrixLocation, 1, GL_FALSE, glm::value_ptr(matrix));
  drawn.draw(textureFilterMode, mipmapMode);
  if (moving) moverRects.push_back(texelsCovered(matrix, drawn));
}

// The robot (it casts its shadow even while the free camera hides it), the living enemies
// and their saws. The map keeps the least depth drawn at each texel, whatever the order,
// so drawing them over the level gives the same map as drawing them before it.
void drawMovingCasters(const glm::mat4& lightMatrix) {
  drawCaster(lightMatrix, character.modelMatrix, character.model, true);
  if (!enemy1Destroyed) {
    drawCaster(lightMatrix, enemy1.modelMatrix, enemy1.model, true);
    drawCaster(lightMatrix, enemy1.saw.modelMatrix, enemy1.saw.model, true);
  }
  if (!enemy2Destroyed) {
    drawCaster(lightMatrix, enemy2.modelMatrix, enemy2.model, true);
    drawCaster(lightMatrix, enemy2.saw.modelMatrix, enemy2.saw.model, true);
  }
}

// Draws the level alone into the cleared map and keeps a copy of it.
void rebuildCache(const glm::mat4& lightMatrix) {
  glClear(GL_DEPTH_BUFFER_BIT);
  drawCaster(lightMatrix, levelMap.modelMatrix, levelMap.model, false);
  ensureCacheTexture();
  copyTexels(depthTexture, shadowCacheTexture, TexelRect{});
}

}  // namespace

void drawShadowCasters(const glm::mat4& lightMatrix, const glm::vec3& lightPosition) {
  const CacheKey key = currentKey(lightPosition);
  if (!shadowCacheOn) {
    // The whole map drawn as it is; the cache keeps what it was made for, and the
    // rectangles describe this map's moving casters as they would after a cached frame.
    glClear(GL_DEPTH_BUFFER_BIT);
    drawCaster(lightMatrix, levelMap.modelMatrix, levelMap.model, false);
  } else if (!cacheValid || !(key == cachedFor)) {
    rebuildCache(lightMatrix);
    cachedFor = key;
    cacheValid = true;
  } else {
    for (const TexelRect& rect : moverRects) copyTexels(shadowCacheTexture, depthTexture, rect);
  }
  moverRects.clear();
  drawMovingCasters(lightMatrix);
}

void releaseShadowCache() {
  glDeleteTextures(1, &shadowCacheTexture);
  shadowCacheTexture = 0;
  cacheValid = false;
  moverRects.clear();
}

}  // namespace varn::render
