// The play-through harness: the real runGame with a scripted platform.
#include "PlaySupport.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include "GlTest.h"
#include "LoadedLibraries.h"
#include "WindowPixel.h"
#include "app/Game.h"
#include "app/Globals.h"
#include "render/RenderState.h"

namespace varn::play {

namespace {

// Whether the loop ends after the frame now being drawn: the end countdown runs out in it,
// or the script is over and Escape is about to be seen.
bool lastFrame(const app::ScriptedPlatform& platform) {
  if ((gameWon || gameLost) && endDelay > 0.0f && endDelay - deltaTime < 0.0f) return true;
  return platform.abandoned() || platform.frame() == platform.scriptLength() - 1;
}

}  // namespace

PlayResult play(const std::string& name, app::ScriptedPlatform& platform,
                const std::function<void(const FrameRecord&)>& onFrame) {
  PlayResult result;
  const assets::ParticleSystem* newestSystem = nullptr;
  platform.onFrameDrawn([&](int frame) {
    if (frame == 0) test::keepLoadedLibrariesMapped();
    FrameRecord record;
    record.frame = frame;
    record.robotPosition = glm::vec3(character.modelMatrix[3]);
    // A system appended in this frame's draw is the newest at the back of the list.
    const assets::ParticleSystem* back =
        render::particleSystems.empty() ? nullptr : render::particleSystems.back().get();
    if (back != nullptr && back != newestSystem && back->age <= deltaTime + 1e-6f) record.newEffectKind = explosionKind;
    newestSystem = back;
    result.frames.push_back(record);
    if (onFrame) onFrame(record);
    if (frame == 1) screenshot(name + "-start");
    if (lastFrame(platform)) screenshot(name + "-end");
  });
  const char* argv[] = {"morrowgear"};
  test::recordGlfwErrors();
  testing::internal::CaptureStdout();
  result.exitStatus = app::runGame(1, argv, platform);
  result.out = testing::internal::GetCapturedStdout();
  result.firstGlError = platform.firstGlError();
  result.firstGlErrorFrame = platform.firstGlErrorFrame();
  return result;
}

void expectCleanRun(const PlayResult& result) {
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.firstGlError, 0u) << "first GL error in frame " << result.firstGlErrorFrame;
}

void aimAt(app::ScriptedPlatform& platform, glm::vec3 worldPoint) {
  const glm::vec2 pixel =
      test::windowPixel(worldPoint, activeCamera->modelMatrix, render::projection, windowWidth, windowHeight);
  platform.setCursorPosition(pixel.x, pixel.y);
}

void screenshot(const std::string& name) {
  test::saveScreenshot(std::string(MORROWGEAR_ARTIFACT_DIR) + "/play-" + name + ".png", Picture::kWidth,
                       Picture::kHeight);
}

}  // namespace varn::play
