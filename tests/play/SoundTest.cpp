// The game's sound mixed on the loopback device, one frame of samples per 1/60 s frame:
// a shot heard in its own frame, M muting and unmuting with its lines, and a mix that never clips.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "PlaySupport.h"

using namespace varn::play;
using varn::app::ScriptedPlatform;

namespace {

float loudest(const std::vector<float>& samples) {
  float peak = 0.0f;
  for (float s : samples) peak = std::max(peak, std::abs(s));
  return peak;
}

}  // namespace

TEST(Playthrough, SoundOnTheLoopbackDevice) {
  ScriptedPlatform platform;
  platform.mixSound(48000);
  platform.idle(40).click(1).idle(30);  // 40: a shot; its bullet strikes the level soon after
  platform.hold({GLFW_KEY_M}, 2).idle(29).hold({GLFW_KEY_M}).idle(20);  // 71: muted, 72 held in the cooldown; 102: on
  const PlayResult result = play("sound", platform);
  expectCleanRun(result);
  const auto& mix = platform.soundFrames();
  ASSERT_EQ(mix.size(), result.frames.size());
  for (const std::vector<float>& frame : mix) ASSERT_EQ(frame.size(), 2u * 48000 / 60) << "800 stereo samples a frame";
  if (loudest(mix[0]) == 0.0f && loudest(mix[39]) == 0.0f && loudest(mix[40]) == 0.0f)
    GTEST_SKIP() << "OpenAL Soft's loopback device is not available";

  // The saws swell and fade smoothly (their whine wobbles four times a second); the shot
  // is a jump from one frame to the next, in its own frame and in none before.
  EXPECT_GT(loudest(mix[0]), 0.0f) << "the saws are heard from the start";
  for (size_t f = 1; f < 40; ++f) EXPECT_LT(loudest(mix[f]), 1.5f * loudest(mix[f - 1])) << "frame " << f;
  EXPECT_GT(loudest(mix[40]), 2.0f * loudest(mix[39])) << "the shot is heard in its frame";

  // OpenAL Soft takes the listener's new gain at its next mix: M pressed in frame 71 is silent from 72.
  for (size_t f = 72; f < 102; ++f) EXPECT_EQ(loudest(mix[f]), 0.0f) << "muted, frame " << f;
  EXPECT_GT(loudest(mix[102]), 0.0f) << "heard again from the frame M is pressed again";
  EXPECT_NE(result.out.find("Sound: OFF\nSound: ON\n"), std::string::npos) << result.out;

  float peak = 0.0f;
  for (const std::vector<float>& frame : mix) peak = std::max(peak, loudest(frame));
  EXPECT_LT(peak, 1.0f) << "the mix never clips";
}
