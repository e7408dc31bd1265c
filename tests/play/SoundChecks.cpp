// The shared checks of the game's loopback mix.
#include "SoundChecks.h"

#include <AL/alc.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace varn::play {

bool loopbackAvailable() { return alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") == ALC_TRUE; }

float loudest(const std::vector<float>& samples) {
  float peak = 0.0f;
  for (float s : samples) peak = std::max(peak, std::abs(s));
  return peak;
}

float loudestOf(const Mix& mix, size_t from, size_t to) {
  float peak = 0.0f;
  for (size_t f = from; f < to && f < mix.size(); ++f) peak = std::max(peak, loudest(mix[f]));
  return peak;
}

double channelLevel(const Mix& mix, size_t from, size_t to, size_t channel) {
  double sum = 0.0;
  size_t count = 0;
  for (size_t f = from; f < to && f < mix.size(); ++f) {
    for (size_t i = channel; i < mix[f].size(); i += 2) sum += static_cast<double>(mix[f][i]) * mix[f][i];
    count += mix[f].size() / 2;
  }
  return count == 0 ? 0.0 : std::sqrt(sum / static_cast<double>(count));
}

void expectOneFrameOfSamplesPerFrame(const Mix& mix, const PlayResult& result) {
  ASSERT_EQ(mix.size(), result.frames.size());
  for (const std::vector<float>& frame : mix) ASSERT_EQ(frame.size(), 2u * 48000 / 60) << "800 stereo samples a frame";
}

void expectTheWinHeard(const Mix& mix, int winFrame) {
  ASSERT_GT(winFrame, 0);
  ASSERT_LT(static_cast<size_t>(winFrame), mix.size());
  const size_t win = static_cast<size_t>(winFrame);
  EXPECT_GT(loudest(mix[win]), 2.0f * loudest(mix[win - 1])) << "the explosion is heard in the frame of the hit";
  // It fills the four seconds before the window closes; its last half second fades out.
  for (size_t f = win; f < std::min(mix.size(), win + 210); ++f) EXPECT_GT(loudest(mix[f]), 0.0f) << "the explosion heard, frame " << f;
  EXPECT_LT(loudestOf(mix, 0, mix.size()), 1.0f) << "the winning play's mix never clips";
}

}  // namespace varn::play
