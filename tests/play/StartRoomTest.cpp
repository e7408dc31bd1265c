// The play-through in the start room: the frames in which held keys act, and the free camera.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <glm/gtc/matrix_transform.hpp>

#include "ConsoleLines.h"
#include "PlaySupport.h"
#include "app/GameTexts.h"
#include "app/Globals.h"
#include "render/PlayerView.h"
#include "render/RenderState.h"

using namespace varn::play;
using varn::app::ScriptedPlatform;

TEST(Playthrough, HeldKeysAndTheFreeCamera) {
  // 1/16 s frames add up exactly; the first frame's time is zero. A toggle's cooldown is aged in
  // the frame that set it, so held toggles repeat a frame later than the shots and the camera switch.
  ScriptedPlatform platform(1.0 / 16.0);
  platform.click(18, {GLFW_KEY_F3, GLFW_KEY_F7});
  platform.hold({GLFW_KEY_F4, GLFW_KEY_F5, GLFW_KEY_F8, GLFW_KEY_F9}).idle(6);
  platform.hold({GLFW_KEY_F6, GLFW_KEY_F7});       // 25: F6 wins the shared cooldown
  platform.cursorAt(123, 234).hold({GLFW_KEY_C});  // 26: into the free camera
  platform.cursorAt(500, 300).idle();              // 27: look right and down a little
  platform.cursorAt(600, 200).click(1, {GLFW_KEY_F4, GLFW_KEY_F5, GLFW_KEY_F8, GLFW_KEY_F9});  // 28
  platform.idle(5).hold({GLFW_KEY_C}).idle().hold({GLFW_KEY_F5}).idle();                       // 34: back; 36: F5 again
  std::vector<int> wireframeFrames, ambientFrames, shotFrames;
  GLint polygonMode = GL_FILL;
  float ambient = varn::ambientLight.x;
  glm::dvec2 startCursor, returnedCursor;
  glm::vec3 startAim(0.0f), shot(0.0f), shotRay(0.0f);
  glm::mat4 view(1.0f);
  const PlayResult result = play("held-keys", platform, [&](const FrameRecord& f) {
    GLint mode[2] = {GL_FILL, GL_FILL};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    if (mode[0] != polygonMode) wireframeFrames.push_back(f.frame), polygonMode = mode[0];
    if (varn::ambientLight.x != ambient) ambientFrames.push_back(f.frame), ambient = varn::ambientLight.x;
    if (varn::shootCooldown == 0.5f) shotFrames.push_back(f.frame);
    double x = 0.0, y = 0.0;
    platform.cursorPosition(x, y);
    if (f.frame == 0) startCursor = {x, y}, startAim = varn::aimDirection;
    if (f.frame >= 26 && f.frame <= 33) {
      EXPECT_EQ(glm::dvec2(x, y), glm::dvec2(400.0, 300.0))
          << "the free camera re-centres the cursor, frame " << f.frame;
      const glm::vec3 eye = varn::freeCameraPosition, look = varn::freeCamera.direction;
      const glm::mat4& v = varn::freeCamera.modelMatrix;
      EXPECT_LT(glm::length(glm::vec3(v * glm::vec4(eye + look, 1.0f)) - glm::vec3(0, 0, -1)), 1e-4f) << f.frame;
      const glm::vec3 screenUp(glm::inverse(v) * glm::vec4(0.0f, 1.0f, 0.0f, 0.0f));
      EXPECT_GT(screenUp.y, 0.0f) << "the picture stands upright";
      EXPECT_LT(glm::length(varn::freeCamera.up - screenUp), 1e-4f) << "the frustum's up is the picture's";
    }
    if (f.frame == 27) view = varn::freeCamera.modelMatrix;  // the view the next frame aims with
    if (f.frame == 28) {
      shot = varn::bullets.back()->direction;
      const glm::vec4 viewport(0.0f, 0.0f, 800.0f, 600.0f);
      shotRay =
          glm::normalize(glm::unProject(glm::vec3(600.0f, 400.0f, 0.5f), view, varn::render::projection, viewport) -
                         glm::unProject(glm::vec3(600.0f, 400.0f, 0.0f), view, varn::render::projection, viewport));
    }
    if (f.frame == 34) returnedCursor = {x, y};
  });
  expectCleanRun(result);
  EXPECT_EQ(result.frames.back().frame, 37) << "Escape after the script ends the loop in that frame";
  EXPECT_EQ(startCursor, glm::dvec2(400.0, 150.0)) << "the game starts the cursor at a quarter of the height";
  EXPECT_LT(glm::length(startAim - glm::vec3(0, 0, -1)), 1e-5f) << "so the first aim is straight ahead";
  EXPECT_EQ(wireframeFrames, (std::vector<int>{0, 8, 15}));
  EXPECT_EQ(ambientFrames, (std::vector<int>{0, 9, 17, 25}));
  EXPECT_EQ(shotFrames, (std::vector<int>{0, 8, 16, 28}));
  EXPECT_LT(glm::length(shot - shotRay), 1e-4f) << "the free camera shoots along the cursor's ray";
  EXPECT_GT(shotRay.y, 0.1f) << "above the centre the ray rises";
  EXPECT_EQ(returnedCursor, glm::dvec2(123.0, 234.0)) << "leaving the free camera puts the cursor back";
  EXPECT_EQ(platform.cursorNormalCalls(), 1);
  // The robot's fall carried the view along; the camera's stored eye, which the particles use, stays put.
  EXPECT_EQ(varn::playerCamera.position, varn::render::kPlayerEye);
  namespace text = varn::app::text;
  const size_t first = result.out.find(varn::test::consoleLines(text::kWireframeOn));
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(result.out.substr(first),
            varn::test::consoleLines(text::kWireframeOn, text::kAmbientIncreased, text::kWireframeOff,
                                     text::kAmbientIncreased, text::kWireframeOn, text::kAmbientIncreased,
                                     text::kTextureFilterLines[0], text::kMipmapLines[0], text::kCullingOff,
                                     text::kTransparencyOff, text::kAmbientDecreased, text::kTextureFilterLines[1],
                                     text::kMipmapLines[1], text::kCullingOn, text::kTransparencyOn,
                                     text::kMipmapLines[2]))
      << "no outcome lines after quitting with Escape";
}
