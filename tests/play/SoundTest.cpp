// The game's sound mixed on the loopback device, one frame of samples per 1/60 s frame:
// a shot heard in its own frame, M muting and unmuting with its lines, a mix that never clips,
// and the saws falling silent with their enemies.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "PlaySupport.h"
#include "app/Globals.h"

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

TEST(Playthrough, TheSawsFallSilentWithTheirEnemies) {
  ScriptedPlatform platform;
  platform.mixSound(48000);
  // The trigger held with the aim on the nearest living enemy until both are down, then
  // two seconds of standing still: long enough for the last hit and its echo to die away.
  platform.idle(84);
  const int fightStart = platform.scriptLength();
  platform.click(6 * kFramesPerSecond).idle(2 * kFramesPerSecond);
  int bothDown = -1;
  const PlayResult result = play("saws", platform, [&](const FrameRecord& f) {
    if (varn::enemy1Destroyed && varn::enemy2Destroyed) {
      if (bothDown < 0) bothDown = f.frame;
      return;
    }
    if (f.frame < fightStart - 1) return;
    const glm::vec3 middle1 = (varn::enemy1.worldCornerA + varn::enemy1.worldCornerB) * 0.5f;
    const glm::vec3 middle2 = (varn::enemy2.worldCornerA + varn::enemy2.worldCornerB) * 0.5f;
    const bool firstIsNearer = glm::length(middle1 - f.robotPosition) <= glm::length(middle2 - f.robotPosition);
    const glm::vec3 middle = varn::enemy2Destroyed || (!varn::enemy1Destroyed && firstIsNearer) ? middle1 : middle2;
    aimAt(platform, {middle.x, f.robotPosition.y + 1.5f, middle.z});
  });
  expectCleanRun(result);
  ASSERT_GE(bothDown, 0) << "both enemies destroyed in the fight";
  const auto& mix = platform.soundFrames();
  ASSERT_EQ(mix.size(), result.frames.size());
  if (loudest(mix[0]) == 0.0f) GTEST_SKIP() << "OpenAL Soft's loopback device is not available";
  EXPECT_GT(loudest(mix[static_cast<size_t>(bothDown) - 1]), 0.0f);
  // The last shot left at the end of the fight; its bullet has met a wall long before.
  for (size_t f = mix.size() - kFramesPerSecond / 2; f < mix.size(); ++f)
    EXPECT_EQ(loudest(mix[f]), 0.0f) << "a saw still heard after its enemy was destroyed, frame " << f;
  float peak = 0.0f;
  for (const std::vector<float>& frame : mix) peak = std::max(peak, loudest(frame));
  EXPECT_LT(peak, 1.0f) << "the fight's mix never clips";
}
