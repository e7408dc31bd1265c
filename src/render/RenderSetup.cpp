// One-time render set-up: cursor, shadow framebuffer, the seven programs with their
// uniforms, projection, lights, player camera, frustum, every model and scene object.
#include "render/RenderSetup.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <SOIL.h>

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <string>

#include "app/Console.h"
#include "app/Globals.h"
#include "assets/ImageFile.h"
#include "render/Projection.h"
#include "render/RenderState.h"

namespace varn::render {

namespace {

constexpr float kFieldOfView = 1.0471976f;  // 60 degrees, radians
constexpr float kNearDistance = 0.1f;
constexpr float kFarDistance = 40.0f;
constexpr glm::vec3 kLightColour{1.0f, 0.5f, 0.5f};

void setUpPlayerCamera() {
  playerCamera = scene::Camera(glm::lookAt(glm::vec3(0.0f, 5.0f, 3.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f)));
  playerCamera.position = glm::vec3(0.0f, 5.0f, 3.0f);
  playerCamera.direction = glm::vec3(0.0f, -5.0f, -3.0f) / std::sqrt(34.0f);
  playerCamera.up = glm::vec3(0.0f, 1.0f, 0.0f);
  playerCamera.fieldOfView = kFieldOfView;
  playerCamera.aspectRatio = static_cast<float>(framebufferWidth) / static_cast<float>(framebufferHeight);
  playerCamera.nearPlane = kNearDistance;
  playerCamera.farPlane = kFarDistance;
}

void createDepthFramebuffer() {
  glGenFramebuffers(1, &depthFramebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, depthFramebuffer);
  glGenTextures(1, &depthTexture);
  glBindTexture(GL_TEXTURE_2D, depthTexture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, kShadowMapSize, kShadowMapSize, 0, GL_DEPTH_COMPONENT, GL_FLOAT,
               nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  // Whatever lies outside the light's map reads the far depth and so stays lit;
  // repeating the map would throw shadows onto far parts of the level.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
  const GLfloat farDepth[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, farDepth);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LESS);
  glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, depthTexture, 0);
  glDrawBuffer(GL_NONE);
  glReadBuffer(GL_NONE);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    app::printError("ERROR: failure creating depth framebuffer");
    app::pauseAndExit();
  }
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

GLint uniform(const Shader& shader, const char* name) { return glGetUniformLocation(shader.programHandle, name); }

// The lit programs share their uniform names; the textured and cel ones also shadow.
LitLocations lookUpLitLocations(const Shader& shader, bool shadowed) {
  LitLocations l;
  l.model = uniform(shader, "model");
  l.view = uniform(shader, "view");
  l.project = uniform(shader, "project");
  l.cameraPosition = uniform(shader, "cameraPosition");
  l.lightPosition = uniform(shader, "lightPosition");
  l.lightAmbient = uniform(shader, "light_ambient");
  l.lightDiffuse = uniform(shader, "light_diffuse");
  l.materialColor = uniform(shader, "material_color");
  l.materialAmbient = uniform(shader, "material_ambient");
  l.materialDiffuse = uniform(shader, "material_diffuse");
  l.materialSpecular = uniform(shader, "material_specular");
  l.materialShininess = uniform(shader, "material_shininess");
  if (shadowed) {
    l.shadowMatrix = uniform(shader, "M_Vl_Pl_L_Matrix");
    l.shadowMap = uniform(shader, "shadowMap");
  }
  return l;
}

void uploadProjection(GLint location) { glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(projection)); }

// A model's success line; a file that could not be read has already said so and gets none.
void reportLoaded(const assets::Model& model) {
  if (!model.getPath().empty()) app::printLine(model.getPath() + " successfully loaded");
}

// The settings a start begins with, whatever an earlier start in this process left.
void resetSceneSettings() {
  enemy1Destroyed = false;
  enemy2Destroyed = false;
  resetRenderToggles();
}

void setUpCameraAndFrustum() {
  setUpPlayerCamera();
  viewFrustum.setFrustumShape(kFieldOfView, playerCamera.aspectRatio, kNearDistance, kFarDistance);
  viewFrustum.updateFrustum(playerCamera.position, playerCamera.direction, playerCamera.up);
}

// The level's six lights, replacing any an earlier start left. The order decides ties
// when the robot stands halfway between two lights.
void setUpLights() {
  lights.clear();
  for (const glm::vec3& position :
       {glm::vec3(0.0f, 6.0f, 0.0f), glm::vec3(7.0f, 6.0f, -17.5f), glm::vec3(19.0f, 10.0f, -17.5f),
        glm::vec3(29.5f, 10.0f, -20.5f), glm::vec3(41.5f, 11.0f, -20.5f), glm::vec3(42.0f, 13.0f, -31.0f)}) {
    lights.push_back(Light{position, kLightColour});
  }
}

// The shadow map's program, and the depth-map inspection program the frame feeds.
void createShadowPrograms() {
  depthShader = makeDepthShader("Shader/Depth.vert", "Shader/Depth.frag");
  glUseProgram(depthShader->programHandle);
  depthMatrixLocation = uniform(*depthShader, "M_Vl_Pl_Matrix");

  debugQuadShader = makeDebugQuadShader("Shader/debug_quad.vert", "Shader/debug_quad_depth.frag");
}

// The simple material program with its cube; the projection is made here, once.
void createSimpleProgram() {
  app::printLine("initializing simple material shader");
  simpleShader = makeSimpleShader("Shader/blinn_phong.vert", "Shader/blinn_phong.frag");
  glUseProgram(simpleShader->programHandle);
  cube =
      std::make_unique<scene::Cube>(glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, -5.0f)), simpleShader.get());
  projection = perspectiveMatrix(kFieldOfView, playerCamera.aspectRatio, kNearDistance, kFarDistance);
  simpleLocations = lookUpLitLocations(*simpleShader, false);
  uploadProjection(simpleLocations.project);
  glUniform3f(simpleLocations.lightPosition, 0.0f, 4.0f, 0.0f);
  glUniform3f(simpleLocations.lightAmbient, 0.1f, 0.0f, 0.0f);
  glUniform3fv(simpleLocations.lightDiffuse, 1, glm::value_ptr(kLightColour));
}

void createTexturedProgram() {
  app::printLine("initializing blinn phong texture shader");
  texturedShader = makeTexturedShader("Shader/blinn_phong_tex.vert", "Shader/blinn_phong_tex.frag");
  glUseProgram(texturedShader->programHandle);
  texturedLocations = lookUpLitLocations(*texturedShader, true);
  uploadProjection(texturedLocations.project);
}

// The level and the destruction button, both drawn by the textured program.
void loadLevel() {
  app::printLine("loading map");
  {
    const assets::Model mapModel("Models/map/map_bricks.obj", texturedShader.get());
    reportLoaded(mapModel);
    levelMap = scene::Map(mapModel, glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -1.0f, 0.0f)));
  }

  app::printLine("loading destruction button");
  const assets::Model buttonModel("Models/map/destructionbutton.obj", texturedShader.get());
  reportLoaded(buttonModel);
  destructionButton = scene::Button(buttonModel, glm::mat4(1.0f));
}

void createSilhouetteProgram() {
  app::printLine("initializing silhoutte shader");
  silhouetteShader = makeSilhouetteShader("Shader/silhoutte.vert", "Shader/silhoutte.frag");
  glUseProgram(silhouetteShader->programHandle);
  silhouetteLocations.model = uniform(*silhouetteShader, "model");
  silhouetteLocations.view = uniform(*silhouetteShader, "view");
  silhouetteLocations.project = uniform(*silhouetteShader, "project");
  silhouetteLocations.offset = uniform(*silhouetteShader, "offset1");
  silhouetteLocations.color = uniform(*silhouetteShader, "color1");
  uploadProjection(silhouetteLocations.project);
}

void createCelProgram() {
  app::printLine("initializing cel shader");
  celShader = makeCelShader("Shader/cel.vert", "Shader/cel.frag");
  glUseProgram(celShader->programHandle);
  celLocations = lookUpLitLocations(*celShader, true);
  uploadProjection(celLocations.project);
}

void createTransparentProgram() {
  app::printLine("initializing transparency shader");
  transparentShader = makeTransparentShader("Shader/transparent.vert", "Shader/transparent.frag");
  glUseProgram(transparentShader->programHandle);
  transparentLocations.model = uniform(*transparentShader, "model");
  transparentLocations.view = uniform(*transparentShader, "view");
  transparentLocations.project = uniform(*transparentShader, "project");
  uploadProjection(transparentLocations.project);
  glUniform3f(uniform(*transparentShader, "color"), 0.2f, 1.4f, 1.5f);  // bright cyan, over 1 on purpose
}

// The two enemies and the player's robot, all drawn by the cel program.
void loadRobots() {
  app::printLine("loading enemy models");
  {
    const assets::Model body("Models/robot/robot_cel_without_saw.obj", celShader.get());
    const assets::Model saw("Models/robot/robot_saw.obj", celShader.get());
    reportLoaded(body);
    reportLoaded(saw);
    enemy1 = scene::Enemy(body, saw, glm::translate(glm::mat4(1.0f), glm::vec3(-4.0f, 0.0f, -5.0f)));
    enemy2 = scene::Enemy(body, saw, glm::translate(glm::mat4(1.0f), glm::vec3(4.0f, 0.0f, 3.0f)));
  }

  app::printLine("loading character model");
  const assets::Model robot("Models/character/kelbo_big.obj", celShader.get());
  reportLoaded(robot);
  // The robot copies the level for its collision tests, so the map is complete by now.
  character = scene::Character(robot, glm::scale(glm::mat4(1.0f), glm::vec3(0.25f)), levelMap, &playerCamera);
  character.updateBoundingBox();
}

}  // namespace

bool loadCustomCursor(GLFWwindow* window, const char* imagePath) {
  // GLFW reads cursor pixels as RGBA, so every image is decoded to four channels. The
  // size is bounded like a texture's: a cursor larger than that is no cursor at all.
  GLint maxSide = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
  const assets::DecodedImage pixels = assets::loadImage(imagePath, SOIL_LOAD_RGBA, maxSide);
  if (!pixels) {
    app::printLine("ERROR: could not load custom cursor");
    return false;
  }
  GLFWimage image;
  image.width = pixels.width();
  image.height = pixels.height();
  image.pixels = pixels.pixels();
  GLFWcursor* cursor = glfwCreateCursor(&image, image.width / 2, image.height / 2);
  if (cursor) {
    glfwSetCursor(window, cursor);  // lives until GLFW terminates
  } else {
    app::printLine("ERROR: could not load custom cursor");
  }
  return cursor != nullptr;
}

void init(GLFWwindow* window) {
  glEnable(GL_DEPTH_TEST);
  app::printLine("loading custom cursor");
  loadCustomCursor(window, "Images/cursor.png");
  glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);

  resetSceneSettings();
  setUpCameraAndFrustum();
  setUpLights();
  createDepthFramebuffer();
  createShadowPrograms();
  createSimpleProgram();
  createTexturedProgram();
  loadLevel();
  createSilhouetteProgram();
  createCelProgram();
  createTransparentProgram();
  loadRobots();

  app::printLine("loading bullet");
  bulletModel = assets::Model("Models/bullet/bullet.obj", celShader.get());
  reportLoaded(bulletModel);
}

}  // namespace varn::render
