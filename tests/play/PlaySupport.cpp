// The play-through harness: the real runGame with a scripted platform.
#include "PlaySupport.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "Screenshot.h"
#include "app/Game.h"
#include "app/Globals.h"
#include "render/RenderState.h"

namespace varn::play {

std::vector<std::string> PlayResult::lines() const {
  std::vector<std::string> result;
  std::istringstream stream(out);
  for (std::string line; std::getline(stream, line);) result.push_back(line);
  return result;
}

std::vector<int> PlayResult::effectFrames(int kind) const {
  std::vector<int> result;
  for (const FrameRecord& f : frames) {
    if (f.newEffectKind == kind) result.push_back(f.frame);
  }
  return result;
}

int PlayResult::firstFrameWhere(const std::function<bool(const FrameRecord&)>& holds) const {
  for (const FrameRecord& f : frames) {
    if (holds(f)) return f.frame;
  }
  return -1;
}

namespace {

// Whether the loop ends after the frame now being drawn: the end countdown runs out in it,
// or the script is over and Escape is about to be seen.
bool lastFrame(const app::ScriptedPlatform& platform) {
  if ((gameWon || gameLost) && endDelay > 0.0f && endDelay - deltaTime < 0.0f) return true;
  return platform.frame() == platform.scriptLength() - 1;
}

}  // namespace

PlayResult play(const std::string& name, app::ScriptedPlatform& platform,
                const std::function<void(const FrameRecord&)>& onFrame) {
  PlayResult result;
  const assets::ParticleSystem* newestSystem = nullptr;
  platform.onFrameDrawn([&](int frame) {
    FrameRecord record;
    record.frame = frame;
    record.robotPosition = glm::vec3(character.modelMatrix[3]);
    record.robotLowestY = character.worldCornerA.y;
    record.objectsDrawn = objectsDrawn;
    record.objectsConsidered = objectsConsidered;
    record.bullets = bullets.size();
    record.particleSystems = render::particleSystems.size();
    // A system appended in this frame's draw is the newest at the back of the list.
    const assets::ParticleSystem* back =
        render::particleSystems.empty() ? nullptr : render::particleSystems.back().get();
    if (back != nullptr && back != newestSystem && back->age <= deltaTime + 1e-6f) {
      record.newEffectKind = explosionKind;
    }
    newestSystem = back;
    record.gameWon = gameWon;
    record.gameLost = gameLost;
    record.freeCameraMode = freeCameraMode;
    result.frames.push_back(record);
    if (onFrame) onFrame(record);
    if (frame == 1) screenshot(name + "-start");
    if (lastFrame(platform)) screenshot(name + "-end");
  });
  const char* argv[] = {"morrowgear"};
  testing::internal::CaptureStdout();
  result.exitStatus = app::runGame(1, argv, platform);
  result.out = testing::internal::GetCapturedStdout();
  result.firstGlError = platform.firstGlError();
  result.firstGlErrorFrame = platform.firstGlErrorFrame();
  return result;
}

bool projectToWindow(glm::vec3 worldPoint, glm::vec2& pixel) {
  const glm::vec4 clip = render::projection * activeCamera->modelMatrix * glm::vec4(worldPoint, 1.0f);
  if (clip.w <= 0.0f) return false;
  const glm::vec3 ndc = glm::vec3(clip) / clip.w;
  pixel.x = (ndc.x + 1.0f) * 0.5f * static_cast<float>(windowWidth);
  pixel.y = (1.0f - ndc.y) * 0.5f * static_cast<float>(windowHeight);
  return true;
}

glm::vec2 cursorFor(glm::vec3 worldPoint) {
  glm::vec2 pixel(0.0f);
  projectToWindow(worldPoint, pixel);
  return pixel;
}

void screenshot(const std::string& name) {
  test::saveScreenshot(std::string(MORROWGEAR_ARTIFACT_DIR) + "/play-" + name + ".png", kWidth, kHeight);
}

std::vector<uint8_t> backBuffer() { return test::readBackBuffer(kWidth, kHeight); }

namespace {

template <typename Visit>
void visitSquare(glm::vec2 pixel, int radius, Visit visit) {
  const int cx = static_cast<int>(pixel.x);
  const int cy = static_cast<int>(pixel.y);
  for (int y = std::max(0, cy - radius); y <= std::min(kHeight - 1, cy + radius); ++y) {
    for (int x = std::max(0, cx - radius); x <= std::min(kWidth - 1, cx + radius); ++x) visit(x, y);
  }
}

}  // namespace

float meanBrightness(const std::vector<uint8_t>& rgb, glm::vec2 pixel, int radius) {
  double sum = 0.0;
  int count = 0;
  visitSquare(pixel, radius, [&](int x, int y) {
    const size_t at = 3 * static_cast<size_t>(y * kWidth + x);
    sum += (rgb[at] + rgb[at + 1] + rgb[at + 2]) / 3.0;
    ++count;
  });
  return count == 0 ? 0.0f : static_cast<float>(sum / count);
}

float darkShare(const std::vector<uint8_t>& rgb, glm::vec2 pixel, int radius) {
  int dark = 0;
  int count = 0;
  visitSquare(pixel, radius, [&](int x, int y) {
    const size_t at = 3 * static_cast<size_t>(y * kWidth + x);
    if (rgb[at] < 40 && rgb[at + 1] < 40 && rgb[at + 2] < 40) ++dark;
    ++count;
  });
  return count == 0 ? 0.0f : static_cast<float>(dark) / static_cast<float>(count);
}

}  // namespace varn::play
