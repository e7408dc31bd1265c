// The play-through harness: the real runGame with a scripted platform.
#include "PlaySupport.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "GlTest.h"
#include "LoadedLibraries.h"
#include "Screenshot.h"
#include "app/Game.h"
#include "app/Globals.h"
#include "render/RenderState.h"

namespace varn::play {

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Whether the loop ends after the frame now being drawn: the end countdown runs out in it,
// or the script is over and Escape is about to be seen.
bool lastFrame(const app::ScriptedPlatform& platform) {
  if ((gameWon || gameLost) && endDelay > 0.0f && endDelay - deltaTime < 0.0f) return true;
  return platform.frame() == platform.scriptLength() - 1;
}

// Mean of texel(r, g, b) over the square of half-size radius around pixel.
template <typename Texel>
float squareMean(const std::vector<uint8_t>& rgb, glm::vec2 pixel, int radius, Texel texel) {
  const int cx = static_cast<int>(pixel.x), cy = static_cast<int>(pixel.y);
  double sum = 0.0;
  int count = 0;
  for (int y = std::max(0, cy - radius); y <= std::min(kHeight - 1, cy + radius); ++y) {
    for (int x = std::max(0, cx - radius); x <= std::min(kWidth - 1, cx + radius); ++x, ++count) {
      const size_t at = 3 * static_cast<size_t>(y * kWidth + x);
      sum += texel(rgb[at], rgb[at + 1], rgb[at + 2]);
    }
  }
  return count == 0 ? 0.0f : static_cast<float>(sum / count);
}

}  // namespace

std::vector<std::string> PlayResult::lines() const {
  std::vector<std::string> result;
  std::istringstream stream(out);
  for (std::string line; std::getline(stream, line);) result.push_back(line);
  return result;
}

size_t PlayResult::count(const std::string& line) const {
  const auto all = lines();
  return static_cast<size_t>(std::count(all.begin(), all.end(), line));
}

std::vector<int> PlayResult::effectFrames(int kind) const {
  std::vector<int> result;
  for (const FrameRecord& f : frames)
    if (f.newEffectKind == kind) result.push_back(f.frame);
  return result;
}

PlayResult play(const std::string& name, app::ScriptedPlatform& platform,
                const std::function<void(const FrameRecord&)>& onFrame) {
  PlayResult result;
  const assets::ParticleSystem* newestSystem = nullptr;
  platform.onFrameDrawn([&](int frame) {
    if (frame == 0) test::keepLoadedLibrariesMapped();
    FrameRecord record;
    record.frame = frame;
    record.robotPosition = glm::vec3(character.modelMatrix[3]);
    record.robotLowestY = character.worldCornerA.y;
    record.objectsConsidered = objectsConsidered;
    record.bullets = bullets.size();
    // A system appended in this frame's draw is the newest at the back of the list.
    const assets::ParticleSystem* back =
        render::particleSystems.empty() ? nullptr : render::particleSystems.back().get();
    if (back != nullptr && back != newestSystem && back->age <= deltaTime + 1e-6f) record.newEffectKind = explosionKind;
    newestSystem = back;
    record.gameLost = gameLost;
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

bool projectToWindow(glm::vec3 worldPoint, glm::vec2& pixel) {
  const glm::vec4 clip = render::projection * activeCamera->modelMatrix * glm::vec4(worldPoint, 1.0f);
  if (clip.w <= 0.0f) return false;
  const glm::vec3 ndc = glm::vec3(clip) / clip.w;
  pixel.x = (ndc.x + 1.0f) * 0.5f * static_cast<float>(windowWidth);
  pixel.y = (1.0f - ndc.y) * 0.5f * static_cast<float>(windowHeight);
  return true;
}

void aimAt(app::ScriptedPlatform& platform, glm::vec3 worldPoint) {
  glm::vec2 pixel(0.0f);
  projectToWindow(worldPoint, pixel);
  platform.setCursorPosition(pixel.x, pixel.y);
}

void screenshot(const std::string& name) {
  test::saveScreenshot(std::string(MORROWGEAR_ARTIFACT_DIR) + "/play-" + name + ".png", kWidth, kHeight);
}

std::vector<uint8_t> backBuffer() { return test::readBackBuffer(kWidth, kHeight); }

float meanBrightness(const std::vector<uint8_t>& rgb, glm::vec2 pixel, int radius) {
  return squareMean(rgb, pixel, radius, [](int r, int g, int b) { return (r + g + b) / 3.0; });
}

float darkShare(const std::vector<uint8_t>& rgb, glm::vec2 pixel, int radius) {
  return squareMean(rgb, pixel, radius, [](int r, int g, int b) { return r < 40 && g < 40 && b < 40 ? 1.0 : 0.0; });
}

}  // namespace varn::play
