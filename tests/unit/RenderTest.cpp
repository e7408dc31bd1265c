// Render set-up and the frame on the real game assets: the lights, the lit uniforms, culling
// counts, the hidden robot's shadow, the cached shadow map and the particle step. The rest of the picture, the
// ambient light among it: the reference pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <string>
#include <vector>

#include "GlTest.h"
#include "Screenshot.h"
#include "WindowPixel.h"
#include "app/Globals.h"
#include "app/HitKind.h"
#include "render/FrameRenderer.h"
#include "render/FrameValues.h"
#include "render/RenderSetup.h"
#include "render/RenderState.h"
#include "render/ShadowCache.h"
#include "scene/Box.h"

namespace varn::render {
namespace {

using test::Picture;
constexpr int kWidth = Picture::kWidth, kHeight = Picture::kHeight;

// The set-up runs once per process and fills the game's globals; the tests share it and put the toggles back.
class RenderTest : public test::GlTest {
 protected:
  static void SetUpTestSuite() {
    if (initialised || !test::sharedGlWindow()) return;
    testing::internal::CaptureStdout();  // the transcript: the shipped game's test
    init(test::sharedGlWindow());
    testing::internal::GetCapturedStdout();
    initialised = true;
  }
  void SetUp() override {
    GlTest::SetUp();
    restoreToggles();
  }
  void TearDown() override {
    restoreToggles();
    GlTest::TearDown();
  }
  static void restoreToggles() {
    resetRenderToggles();
    enemy1Destroyed = enemy2Destroyed = explosionPending = false;
    bullets.clear();
    particleSystems.clear();
    deltaTime = 1.0f / 60.0f;
  }

  // One frame as the main loop draws it, read back; the frame must leave no GL error.
  Picture renderFrame(const std::string& screenshot = "") {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "after the frame " << screenshot;
    if (!screenshot.empty())
      test::saveScreenshot(std::string(MORROWGEAR_ARTIFACT_DIR) + "/render/" + screenshot, kWidth, kHeight);
    return Picture();
  }
  // Where a world point lands in the picture, in pixels from the top left.
  static glm::vec2 pixelOf(glm::vec3 world) {
    return test::windowPixel(world, activeCamera->modelMatrix, projection, kWidth, kHeight);
  }
  // The point on the highest floor or block top straight below a point.
  static glm::vec3 floorBelow(glm::vec3 point) {
    float best = -1e9f;
    for (const auto* boxes : {&levelMap.floorBoxes, &levelMap.blockBoxes})
      for (const scene::CollisionBox& box : *boxes)
        if (box.cornerA.x <= point.x && point.x <= box.cornerB.x && box.cornerB.z <= point.z &&
            point.z <= box.cornerA.z && box.cornerB.y <= point.y)
          best = std::max(best, box.cornerB.y);
    EXPECT_GT(best, -1e8f) << "no floor below " << point.x << ", " << point.z;
    return {point.x, best, point.z};
  }
  // Looks at a point from an eye, as the free camera does (which also leaves the robot out of the colour passes).
  static void lookWithFreeCamera(glm::vec3 eye, glm::vec3 target, glm::vec3 up) {
    freeCameraMode = true;
    activeCamera = &freeCamera;
    freeCamera.direction = glm::normalize(target - eye);
    freeCamera.up = up;
    freeCamera.modelMatrix = glm::lookAt(eye, target, up);
  }
  // A vector or matrix uniform as the last draw of the frame left it in a program.
  template <typename T>
  static T uniformOf(const std::unique_ptr<Shader>& shader, const char* name) {
    T value(0.0f);
    glGetUniformfv(shader->programHandle, glGetUniformLocation(shader->programHandle, name), glm::value_ptr(value));
    return value;
  }
  // Moves the robot, box and all, so that its feet stand centred on a point.
  static void standRobotOn(glm::vec3 point) {
    const glm::vec3 feet(0.5f * (character.worldCornerA.x + character.worldCornerB.x), character.worldCornerA.y,
                         0.5f * (character.worldCornerA.z + character.worldCornerB.z));
    const glm::vec3 shift = point - feet;
    character.modelMatrix = glm::translate(glm::mat4(1.0f), shift) * character.modelMatrix;
    character.worldCornerA += shift;
    character.worldCornerB += shift;
  }
  static uint32_t mapMeshes() { return static_cast<uint32_t>(levelMap.model.meshes.size()); }

  static inline bool initialised = false;
};

TEST_F(RenderTest, ObjectCountsFollowCullingTheFreeCameraAndDestroyedEnemies) {
  // Every map mesh, the button, the robot twice (outline and cel) and each enemy twice.
  const struct {
    bool culling, freeCamera, enemy1Gone, enemy2Gone;
    uint32_t others;
  } cases[] = {{true, false, false, false, 7},
               {false, false, false, false, 7},
               {false, true, false, false, 5},
               {false, false, true, false, 5},
               {false, false, true, true, 3}};
  for (const auto& c : cases) {
    frustumCullingOn = c.culling, freeCameraMode = c.freeCamera;
    enemy1Destroyed = c.enemy1Gone, enemy2Destroyed = c.enemy2Gone;
    renderFrame(c.culling ? "first_frame.png" : "");
    EXPECT_EQ(objectsConsidered, mapMeshes() + c.others);
    EXPECT_TRUE(c.culling ? objectsDrawn > 0 : objectsDrawn == objectsConsidered) << "culling " << c.culling;
  }
  // High above the level looking up into the empty sky, culling leaves nothing to draw.
  frustumCullingOn = true;
  enemy1Destroyed = enemy2Destroyed = false;
  lookWithFreeCamera(glm::vec3(0.0f, 200.0f, 0.0f), glm::vec3(0.0f, 201.0f, 0.0f), glm::vec3(0.0f, 0.0f, -1.0f));
  renderFrame();
  EXPECT_EQ(objectsConsidered, mapMeshes() + 5);
  EXPECT_EQ(objectsDrawn, 0u);
}

TEST_F(RenderTest, EachLightIsChosenWhileTheRobotStandsBelowItOnAFloorWithinTheShadowRange) {
  ASSERT_EQ(lights.size(), 6u);
  const scene::Character start = character;
  for (const Light& light : lights) {  // the robot's feet on the floor straight below the light
    SCOPED_TRACE(testing::Message() << "light at " << light.position.x << ", " << light.position.z);
    const glm::vec3 floor = floorBelow(light.position);
    standRobotOn(floor + glm::vec3(0.0f, 0.01f, 0.0f));
    // The light's map reaches from 2 to 10 units below it: the robot's head and the floor lie in between.
    EXPECT_GT(light.position.y - character.worldCornerB.y, 2.0f);
    EXPECT_LT(light.position.y - floor.y, 10.0f);
    renderFrame();
    EXPECT_EQ(uniformOf<glm::vec3>(texturedShader, "lightPosition"), light.position);
    EXPECT_EQ(uniformOf<glm::vec3>(celShader, "lightPosition"), light.position);
    character = start;
  }
  // Between two lights at the same distance the earlier one wins.
  const Light a{{-1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}}, b{{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}};
  EXPECT_EQ(chooseNearestLight({a, b}, glm::vec3(0.0f, 3.0f, 0.0f)).colour, a.colour);
  EXPECT_EQ(chooseNearestLight({b, a}, glm::vec3(0.0f, 3.0f, 0.0f)).colour, b.colour);
}

TEST_F(RenderTest, LitPassesGetTheViewsEyeAndEachObjectsShadowMatrixAndTheShadowPassKeepsItsDepthOffset) {
  const glm::vec3 eye(3.0f, 4.0f, 6.0f);
  lookWithFreeCamera(eye, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
  renderFrame();
  EXPECT_LT(glm::length(uniformOf<glm::vec3>(texturedShader, "cameraPosition") - eye), 1e-4f);
  EXPECT_LT(glm::length(uniformOf<glm::vec3>(celShader, "cameraPosition") - eye), 1e-4f);
  EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL)) << "the colour passes draw without the shadow pass's offset";
  // The robot is the cel pass's last object: its own matrix goes with it.
  freeCameraMode = false;
  activeCamera = &playerCamera;
  renderFrame();
  const Light light = chooseNearestLight(lights, character.worldCornerA);
  const glm::mat4 toShadowMap = biasMatrix() * lightProjectionMatrix() * lightViewFor(light) * character.modelMatrix;
  const glm::mat4 uploaded = uniformOf<glm::mat4>(celShader, "M_Vl_Pl_L_Matrix");
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) EXPECT_NEAR(uploaded[c][r], toShadowMap[c][r], 1e-5f) << c << ", " << r;
}

TEST_F(RenderTest, TheRobotHiddenByTheFreeCameraStillCastsItsShadow) {
  // Seen from straight above the shadow that the first light throws of it, with and without the robot.
  const glm::vec3 light = lights[0].position, a = character.worldCornerA;
  const glm::vec3 centre = 0.5f * (a + character.worldCornerB);
  const float floorY = floorBelow(glm::vec3(centre.x, a.y, centre.z)).y;
  const glm::vec3 shadow = light + (centre - light) * ((light.y - floorY) / (light.y - centre.y));
  lookWithFreeCamera(shadow + glm::vec3(0.0f, 7.0f, 0.0f), shadow, glm::vec3(0.0f, 0.0f, -1.0f));
  const glm::vec3 with = renderFrame("robot_shadow.png").patch(pixelOf(shadow), 3);
  const glm::mat4 placed = character.modelMatrix;
  character.modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -100.0f, 0.0f)) * placed;
  const glm::vec3 without = renderFrame().patch(pixelOf(shadow), 3);
  character.modelMatrix = placed;
  EXPECT_LT(glm::length(with), 0.7f * glm::length(without))
      << "the floor under the shadow is as bright without the robot";
}

// The shadow map as the lit passes sample it, texel for texel (24 bits each, read exactly).
std::vector<GLuint> shadowMapTexels() {
  std::vector<GLuint> texels(static_cast<size_t>(kShadowMapSize) * kShadowMapSize);
  glBindTexture(GL_TEXTURE_2D, depthTexture);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, texels.data());
  return texels;
}

size_t differingTexels(const std::vector<GLuint>& a, const std::vector<GLuint>& b) {
  size_t differing = 0;
  for (size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i] ? 1 : 0;
  return differing;
}

// Moves a scene object's model matrix by an offset in the world.
void shift(glm::mat4& modelMatrix, glm::vec3 by) { modelMatrix = glm::translate(glm::mat4(1.0f), by) * modelMatrix; }

TEST_F(RenderTest, TheCachedShadowMapIsTexelForTexelTheFullyRedrawnOneAlongAWalkThroughEveryLightsRoom) {
  const scene::Character start = character;
  const glm::mat4 enemyAt = enemy1.modelMatrix, sawAt = enemy1.saw.modelMatrix;
  int compared = 0;
  // One frame with the cache, then the same frame drawn whole; the next cached frame
  // starts from the whole one, which holds the same casters in the same places.
  const auto expectSameMap = [&](const char* what) {
    shadowCacheOn = true;
    renderFrame();
    const std::vector<GLuint> cached = shadowMapTexels();
    shadowCacheOn = false;
    renderFrame();
    const std::vector<GLuint> whole = shadowMapTexels();
    shadowCacheOn = true;
    EXPECT_EQ(differingTexels(cached, whole), 0u) << what << ", frame " << compared;
    ++compared;
  };
  for (const Light& light : lights) {
    SCOPED_TRACE(testing::Message() << "light at " << light.position.x << ", " << light.position.z);
    standRobotOn(floorBelow(light.position) + glm::vec3(0.3f, 0.01f, -0.2f));
    expectSameMap("the robot arrives under the light");
    for (int step = 0; step < 2; ++step) {  // the robot and the first enemy walk on
      shift(character.modelMatrix, glm::vec3(0.6f, 0.0f, 0.4f));
      shift(enemy1.modelMatrix, glm::vec3(-0.5f, 0.0f, 0.3f));
      shift(enemy1.saw.modelMatrix, glm::vec3(-0.5f, 0.0f, 0.3f));
      expectSameMap("the robot and an enemy walk");
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    wireframeOn = true;
    expectSameMap("wireframe on");
    shift(character.modelMatrix, glm::vec3(-0.4f, 0.0f, 0.0f));
    expectSameMap("wireframe, the robot walks");
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    wireframeOn = false;
    expectSameMap("wireframe off");
    character = start;
  }
  // Back in the start room with its enemies: one destroyed, then the free camera.
  expectSameMap("back at the start");
  enemy1Destroyed = true;
  expectSameMap("an enemy destroyed");
  lookWithFreeCamera(glm::vec3(0.0f, 6.0f, 4.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
  shift(character.modelMatrix, glm::vec3(0.5f, 0.0f, 0.5f));
  expectSameMap("the free camera on, the robot walks");
  character = start;
  enemy1.modelMatrix = enemyAt;
  enemy1.saw.modelMatrix = sawAt;
}

TEST_F(RenderTest, AHitBecomesABurstThatLivesThreeTenthSecondFramesAndRetiringItDoesNotSkipTheNext) {
  deltaTime = 0.1f;
  explosionPending = true;
  explosionKind = kHitLevel;  // lives 0.2 s
  for (int frame = 1; frame <= 2; ++frame) {
    renderFrame();
    ASSERT_EQ(particleSystems.size(), 1u) << "frame " << frame;
    EXPECT_FALSE(explosionPending);
    EXPECT_EQ(particleSystems[0]->numParticles, 1 + 35 * frame) << "the burst emits in every frame of its life";
  }
  explosionPending = true;
  explosionKind = kHitButton;  // lives 4.5 s, while the first burst keeps the 0.2 s of its own preset
  renderFrame();
  ASSERT_EQ(particleSystems.size(), 1u) << "the first burst is older than its 0.2 s in its third frame";
  const assets::ParticleSystem* second = particleSystems[0].get();
  const int32_t particlesBefore = second->numParticles;
  EXPECT_GT(particlesBefore, 1) << "the second burst was skipped when the first retired";
  renderFrame();
  EXPECT_NEAR(second->age, 0.2f, 1e-6f);
  EXPECT_GT(second->numParticles, particlesBefore);
}


// Something the textured pass culls as a whole: its box and its drawn vertices, in the world.
struct CulledPiece {
  glm::vec3 cornerA, cornerB;
  std::vector<glm::vec3> points;
};

CulledPiece pieceOf(glm::vec3 cornerA, glm::vec3 cornerB, const glm::mat4& placement,
                    const std::vector<const assets::Mesh*>& meshes) {
  CulledPiece piece{cornerA, cornerB, {}};
  for (const assets::Mesh* mesh : meshes)
    for (const assets::Vertex& v : mesh->vertices) piece.points.push_back(scene::transformPoint(placement, v.position));
  return piece;
}

// The button, culled by its fixed box, and the level meshes round it that share its texture
// (the hazard frame's bars and the lamp), each culled by its own box.
std::vector<CulledPiece> buttonAndHazardPieces() {
  std::vector<const assets::Mesh*> buttonMeshes;
  for (const assets::Mesh& mesh : destructionButton.model.meshes) buttonMeshes.push_back(&mesh);
  std::vector<CulledPiece> pieces = {pieceOf(destructionButton.worldCornerA, destructionButton.worldCornerB,
                                             destructionButton.modelMatrix, buttonMeshes)};
  const aiString& buttonTexture = destructionButton.model.meshes.at(0).textures.at(0).path;
  for (const assets::Mesh& mesh : levelMap.model.meshes) {
    if (mesh.textures.empty() || mesh.textures[0].path != buttonTexture) continue;
    pieces.push_back(pieceOf(scene::transformPoint(levelMap.modelMatrix, mesh.cornerA),
                             scene::transformPoint(levelMap.modelMatrix, mesh.cornerB), levelMap.modelMatrix, {&mesh}));
  }
  return pieces;
}

// How many drawn vertices of pieces culled in the current view lie inside it.
int culledVerticesInView(const std::vector<CulledPiece>& pieces) {
  int count = 0;
  for (const CulledPiece& piece : pieces) {
    if (viewFrustum.boxInFrustum(piece.cornerA, piece.cornerB) != FrustumResult::Outside) continue;
    for (const glm::vec3& p : piece.points) count += viewFrustum.boxInFrustum(p, p) != FrustumResult::Outside ? 1 : 0;
  }
  return count;
}

// The button is culled by its fixed box, which the hazard frame and the lamp round it
// overhang; they are meshes of the level, culled by boxes of their own. Free-camera views of
// the button wall (eyes on a grid in the room before it, aimed at points round the button) are
// searched for those where a vertex of the button or of those pieces is inside the view while
// its box is outside it; in each such view, culling must not change a pixel of any of them.
TEST_F(RenderTest, NoViewShowsPartOfTheButtonOrItsHazardPiecesWhileCullingHidesIt) {
  const std::vector<CulledPiece> pieces = buttonAndHazardPieces();
  ASSERT_GE(pieces.size(), 2u) << "no level mesh wears the button's texture";
  const glm::vec3 centre = 0.5f * (destructionButton.worldCornerA + destructionButton.worldCornerB);
  const glm::vec3 up(0.0f, 1.0f, 0.0f);
  struct View {
    glm::vec3 eye, target;
    int verticesInView;
  };
  std::vector<View> views;
  for (float x : {40.0f, 43.1f, 46.0f})
    for (float y : {5.0f, 8.0f, 11.0f})
      for (float z : {-35.0f, -32.0f, -28.0f})
        for (float dx = -6.0f; dx <= 6.0f; dx += 0.5f)
          for (float dy = -6.0f; dy <= 6.0f; dy += 0.5f) {
            const glm::vec3 eye(x, y, z), target = centre + glm::vec3(dx, dy, 0.0f);
            viewFrustum.updateFrustum(eye, target - eye, up);
            if (const int count = culledVerticesInView(pieces); count > 0) views.push_back({eye, target, count});
          }
  // The views that show most of what is culled first; a few of them are rendered.
  std::sort(views.begin(), views.end(), [](const View& l, const View& r) { return l.verticesInView > r.verticesInView; });
  for (size_t i = 0; i < std::min<size_t>(views.size(), 3); ++i) {
    const View& view = views[i];
    SCOPED_TRACE(testing::Message() << "eye " << view.eye.x << ", " << view.eye.y << ", " << view.eye.z << " aimed at "
                                    << view.target.x << ", " << view.target.y << ", " << view.target.z << ", "
                                    << view.verticesInView << " culled vertices in view");
    lookWithFreeCamera(view.eye, view.target, up);
    frustumCullingOn = false;
    const Picture all = renderFrame("button-unculled-" + std::to_string(i) + ".png");
    frustumCullingOn = true;
    const Picture culled = renderFrame("button-culled-" + std::to_string(i) + ".png");
    // Only the pixels round the button and its pieces count: other objects have boxes of their own.
    glm::vec2 least(kWidth, kHeight), greatest(0.0f);
    for (const CulledPiece& piece : pieces)
      for (const glm::vec3& p : piece.points) least = glm::min(least, pixelOf(p)), greatest = glm::max(greatest, pixelOf(p));
    int differing = 0;
    for (int y = std::max(0, int(least.y)); y <= std::min(kHeight - 1, int(greatest.y)); ++y)
      for (int x = std::max(0, int(least.x)); x <= std::min(kWidth - 1, int(greatest.x)); ++x)
        differing += all.at(x, y) != culled.at(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0) << "culling hides what shows of the button or of a piece round it";
  }
}

}  // namespace
}  // namespace varn::render
