// The mixer on OpenAL Soft's loopback device: where a saw is heard from the listener at the
// camera, how its loudness follows the distance, and that a destroyed enemy's saw falls silent.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <vector>

#include "audio/Audio.h"

namespace varn::audio {
namespace {

constexpr int kRate = 48000;
constexpr int kFrameSamples = kRate / 60;

struct Loudness {
  double left = 0.0;
  double right = 0.0;
};

// The root mean square of each channel over a few frames, after the source has settled.
Loudness listen(const glm::mat4& view, const std::array<Saw, 2>& saws) {
  std::vector<float> mix;
  Loudness sum;
  for (int frame = 0; frame < 6; ++frame) {
    hear(view, saws);
    renderLoopback(mix, kFrameSamples);
    EXPECT_EQ(mix.size(), static_cast<size_t>(2 * kFrameSamples)) << "one frame of stereo samples";
    if (frame < 2) continue;
    for (size_t i = 0; i + 1 < mix.size(); i += 2) {
      sum.left += static_cast<double>(mix[i]) * mix[i];
      sum.right += static_cast<double>(mix[i + 1]) * mix[i + 1];
    }
  }
  return {std::sqrt(sum.left), std::sqrt(sum.right)};
}

class Mixer : public testing::Test {
 protected:
  void SetUp() override {
    start(Output{true, kRate});
    if (!running()) GTEST_SKIP() << "OpenAL Soft's loopback device is not available";
  }
  void TearDown() override { stop(); }
};

TEST_F(Mixer, ASawIsPlacedFromTheCameraLouderNearAndSilentOnceItsEnemyIsDestroyed) {
  // The camera at the origin looking down -z: the saw at -x is on its left.
  const glm::mat4 lookingNorth = glm::lookAt(glm::vec3(0.0f), glm::vec3(0, 0, -1), glm::vec3(0, 1, 0));
  const Saw silent{glm::vec3(0.0f), false};
  const Loudness far = listen(lookingNorth, {Saw{glm::vec3(-12, 0, 0), true}, silent});
  const Loudness near = listen(lookingNorth, {Saw{glm::vec3(-4, 0, 0), true}, silent});
  EXPECT_GT(far.left, 1.5 * far.right) << "a saw to the left is louder in the left channel";
  EXPECT_GT(near.left, 1.5 * far.left) << "and grows louder as it closes in";
  EXPECT_GT(far.left, 0.05 * near.left) << "a saw across the room is still heard";

  // The camera turned to look south: the same saw is now on its right.
  const glm::mat4 lookingSouth = glm::lookAt(glm::vec3(0.0f), glm::vec3(0, 0, 1), glm::vec3(0, 1, 0));
  const Loudness turned = listen(lookingSouth, {Saw{glm::vec3(-4, 0, 0), true}, silent});
  EXPECT_GT(turned.right, 1.5 * turned.left) << "the listener turns with the camera";

  // The enemy destroyed: its saw stops in the first frame that says so.
  std::vector<float> mix;
  hear(lookingNorth, {silent, silent});
  renderLoopback(mix, kFrameSamples);
  float loudest = 0.0f;
  for (float s : mix) loudest = std::max(loudest, std::abs(s));
  EXPECT_EQ(loudest, 0.0f);
}

TEST_F(Mixer, MutingSilencesEverythingUntilUnmuted) {
  const glm::mat4 view(1.0f);
  const std::array<Saw, 2> saws = {Saw{glm::vec3(1, 0, -2), true}, Saw{glm::vec3(-1, 0, -2), true}};
  ASSERT_GT(listen(view, saws).left, 0.0);
  EXPECT_TRUE(toggleMute());
  const Loudness muted = listen(view, saws);
  EXPECT_EQ(muted.left + muted.right, 0.0);
  EXPECT_FALSE(toggleMute());
  EXPECT_GT(listen(view, saws).left, 0.0);
}

}  // namespace
}  // namespace varn::audio
