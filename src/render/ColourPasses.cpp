// The four colour passes into the window, their GL state, their objects and the
// culling rule that feeds the title's object counts.
#include "render/ColourPasses.h"

#include <algorithm>
#include <glm/gtc/type_ptr.hpp>
#include <numeric>
#include <vector>

#include "app/Globals.h"
#include "render/RenderState.h"
#include "scene/Box.h"

namespace varn::render {

namespace {

constexpr float kOutlineOffset = 0.05f;
constexpr float kTranslucentAlpha = 0.2f;
constexpr GLint kShadowMapUnit = 2;  // units 0 and 1 belong to the models' own textures

// Squared distance from point to the box between two opposite corners (0 inside it).
float squaredDistanceToBox(glm::vec3 point, glm::vec3 cornerA, glm::vec3 cornerB) {
  const glm::vec3 nearest = glm::clamp(point, glm::min(cornerA, cornerB), glm::max(cornerA, cornerB));
  const glm::vec3 d = point - nearest;
  return glm::dot(d, d);
}

// The rule behind the title's object counts: every object the pass meets is considered;
// one whose box lies outside the view is skipped, any other is drawn and counted. Says
// whether it drew.
template <typename Draw>
bool drawCounted(glm::vec3 cornerA, glm::vec3 cornerB, Draw&& drawObject) {
  ++objectsConsidered;
  if (frustumCullingOn && viewFrustum.boxInFrustum(cornerA, cornerB) == FrustumResult::Outside) return false;
  drawObject();
  ++objectsDrawn;
  return true;
}

// Each level mesh's box in the world, and the order to draw the meshes in: filled, the
// meshes nearest the eye go first, so that the depth test turns away the hidden parts of
// those behind them before they are shaded; the picture is the same in any order. In
// wireframe the order shows where two meshes share an edge, so it stays the model's.
void orderLevelMeshes(glm::vec3 eye, LevelDraws& levelDraws) {
  const std::vector<assets::Mesh>& meshes = levelMap.model.meshes;
  levelDraws.order.resize(meshes.size());
  levelDraws.cornerA.resize(meshes.size());
  levelDraws.cornerB.resize(meshes.size());
  levelDraws.distance.resize(meshes.size());
  levelDraws.drawn.assign(meshes.size(), false);
  std::iota(levelDraws.order.begin(), levelDraws.order.end(), size_t{0});
  for (size_t i = 0; i < meshes.size(); ++i) {
    levelDraws.cornerA[i] = scene::transformPoint(levelMap.modelMatrix, meshes[i].cornerA);
    levelDraws.cornerB[i] = scene::transformPoint(levelMap.modelMatrix, meshes[i].cornerB);
    levelDraws.distance[i] = squaredDistanceToBox(eye, levelDraws.cornerA[i], levelDraws.cornerB[i]);
  }
  if (wireframeOn) return;
  std::stable_sort(levelDraws.order.begin(), levelDraws.order.end(),
                   [&levelDraws](size_t a, size_t b) { return levelDraws.distance[a] < levelDraws.distance[b]; });
}

void uploadMatrix(GLint location, const glm::mat4& matrix) {
  glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(matrix));
}

void uploadVector(GLint location, const glm::vec3& vector) { glUniform3fv(location, 1, glm::value_ptr(vector)); }

// Once per lit pass: the light, the camera and a white material, and the shadow map.
void uploadLitUniforms(const LitLocations& at, const FrameValues& frame) {
  const glm::vec3 white(1.0f);
  uploadVector(at.lightPosition, frame.nearestLight.position);
  uploadVector(at.lightAmbient, ambientLight);
  uploadVector(at.lightDiffuse, frame.nearestLight.colour);
  uploadMatrix(at.view, activeCamera->modelMatrix);
  uploadVector(at.cameraPosition, frame.cameraEye);
  uploadVector(at.materialColor, white);
  uploadVector(at.materialAmbient, white);
  uploadVector(at.materialDiffuse, white);
  uploadVector(at.materialSpecular, white);
  glUniform1f(at.materialShininess, 128.0f);
  glActiveTexture(GL_TEXTURE0 + kShadowMapUnit);
  glBindTexture(GL_TEXTURE_2D, depthTexture);
  glUniform1i(at.shadowMap, kShadowMapUnit);
}

void uploadLitObject(const LitLocations& at, const FrameValues& frame, const glm::mat4& model) {
  uploadMatrix(at.model, model);
  uploadMatrix(at.shadowMatrix, frame.shadowMatrix(model));
}

void setAlpha(const Shader& shader, float alpha) {
  glUniform1f(glGetUniformLocation(shader.programHandle, "alpha"), alpha);
}

// Enemy body and saw together: one box, one count.
void celEnemy(const scene::Enemy& enemy, const FrameValues& frame) {
  drawCounted(enemy.worldCornerA, enemy.worldCornerB, [&] {
    uploadLitObject(celLocations, frame, enemy.modelMatrix);
    enemy.model.draw(textureFilterMode, mipmapMode);
    uploadLitObject(celLocations, frame, enemy.saw.modelMatrix);
    enemy.saw.model.draw(textureFilterMode, mipmapMode);
  });
}

void outlineEnemy(const scene::Enemy& enemy) {
  drawCounted(enemy.worldCornerA, enemy.worldCornerB, [&] {
    uploadMatrix(silhouetteLocations.model, enemy.modelMatrix);
    enemy.model.draw(textureFilterMode, mipmapMode);
    uploadMatrix(silhouetteLocations.model, enemy.saw.modelMatrix);
    enemy.saw.model.draw(textureFilterMode, mipmapMode);
  });
}

// The bullets, in firing order, each with its own model matrix at modelLocation.
void drawBullets(GLint modelLocation) {
  for (const auto& bullet : bullets) {
    drawCounted(bullet->worldCornerA, bullet->worldCornerB, [&] {
      uploadMatrix(modelLocation, bullet->modelMatrix);
      bullet->model.draw(textureFilterMode, mipmapMode);
    });
  }
}

}  // namespace

void texturedPass(const FrameValues& frame, LevelDraws& levelDraws) {
  glUseProgram(texturedShader->programHandle);
  uploadLitUniforms(texturedLocations, frame);

  // The level is culled mesh by mesh: most of it lies behind or beside the camera.
  orderLevelMeshes(frame.cameraEye, levelDraws);
  uploadLitObject(texturedLocations, frame, levelMap.modelMatrix);
  for (const size_t i : levelDraws.order) {
    levelDraws.drawn[i] = drawCounted(levelDraws.cornerA[i], levelDraws.cornerB[i],
                                      [i] { levelMap.model.meshes[i].draw(textureFilterMode, mipmapMode); });
  }

  drawCounted(destructionButton.worldCornerA, destructionButton.worldCornerB, [&frame] {
    uploadLitObject(texturedLocations, frame, destructionButton.modelMatrix);
    destructionButton.model.draw(textureFilterMode, mipmapMode);
  });
}

void silhouettePass() {
  glUseProgram(silhouetteShader->programHandle);
  // Only the back faces, pushed outwards, survive: they show as a rim around the
  // object that the next passes draw over.
  glEnable(GL_CULL_FACE);
  glCullFace(GL_FRONT);
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  glUniform1f(silhouetteLocations.offset, kOutlineOffset);
  glUniform3f(silhouetteLocations.color, 0.0f, 0.0f, 0.0f);
  uploadMatrix(silhouetteLocations.view, activeCamera->modelMatrix);

  if (!enemy1Destroyed) outlineEnemy(enemy1);
  if (!enemy2Destroyed) outlineEnemy(enemy2);
  if (!freeCameraMode) {
    drawCounted(character.worldCornerA, character.worldCornerB, [] {
      uploadMatrix(silhouetteLocations.model, character.modelMatrix);
      character.model.draw(textureFilterMode, mipmapMode);
    });
  }

  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  setAlpha(*silhouetteShader, transparencyOn ? kTranslucentAlpha : 1.0f);
  drawBullets(silhouetteLocations.model);
  setAlpha(*silhouetteShader, 1.0f);
  glDisable(GL_BLEND);
}

void celPass(const FrameValues& frame, const LevelDraws& levelDraws) {
  glUseProgram(celShader->programHandle);
  glCullFace(GL_BACK);
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  uploadLitUniforms(celLocations, frame);

  // The whole level again, neither culled nor counted. Filled, what the textured pass drew
  // this frame already lies in the depth buffer at exactly these depths (both programs
  // place vertices the same way) and fails the GL_LESS test everywhere: drawing it again
  // cannot change a pixel, so only the meshes that pass left out are drawn. In wireframe
  // every mesh is drawn again, as the edges it shares may show it.
  uploadLitObject(celLocations, frame, levelMap.modelMatrix);
  const std::vector<assets::Mesh>& meshes = levelMap.model.meshes;
  const bool knowDrawn = !wireframeOn && levelDraws.drawn.size() == meshes.size();
  for (size_t i = 0; i < meshes.size(); ++i) {
    if (!knowDrawn || !levelDraws.drawn[i]) meshes[i].draw(textureFilterMode, mipmapMode);
  }

  if (!enemy1Destroyed) celEnemy(enemy1, frame);
  if (!enemy2Destroyed) celEnemy(enemy2, frame);
  if (!freeCameraMode) {
    drawCounted(character.worldCornerA, character.worldCornerB, [&frame] {
      uploadLitObject(celLocations, frame, character.modelMatrix);
      character.model.draw(textureFilterMode, mipmapMode);
    });
  }
}

void transparencyPass() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glUseProgram(transparentShader->programHandle);
  uploadMatrix(transparentLocations.view, activeCamera->modelMatrix);
  setAlpha(*transparentShader, transparencyOn ? kTranslucentAlpha : 1.0f);
  // Blended in firing order over the scene, unsorted; depth writes stay on.
  drawBullets(transparentLocations.model);
  glDisable(GL_BLEND);
}

}  // namespace varn::render
