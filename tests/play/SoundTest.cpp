// The game's sound mixed on the loopback device, one frame of samples per 1/60 s frame:
// a quiet start with the saws only, a shot heard in its own frame, M muting and unmuting in
// the frame it is pressed, with its lines, and the loss; and the fight: the saws placed and growing as
// their enemies close in, each hit heard from its frame, the saws silent with their enemies.
// The winning shot's explosion is heard in the reference pictures' winning play.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "ConsoleLines.h"
#include "PlaySupport.h"
#include "app/GameTexts.h"
#include "SoundChecks.h"
#include "app/Globals.h"

using namespace varn::play;
using varn::app::ScriptedPlatform;

namespace {

glm::vec3 middle(const varn::scene::Enemy& enemy) { return (enemy.worldCornerA + enemy.worldCornerB) * 0.5f; }

// Where an enemy is seen from the active camera: x < 0 on its left.
glm::vec3 seenFromCamera(const varn::scene::Enemy& enemy) {
  return glm::vec3(varn::activeCamera->modelMatrix * glm::vec4(middle(enemy), 1.0f));
}

// What the fight's frames showed, for reading the mix against.
struct FightLog {
  std::vector<glm::vec3> seen[2];  // each enemy from the camera, every frame
  std::vector<int> hitFrames;
  std::vector<bool> busy;  // a shot or a hit sounds in this frame besides the saws
  int destroyedFrame[2] = {-1, -1};
};

}  // namespace

TEST(Playthrough, SoundOnTheLoopbackDevice) {
  if (!loopbackAvailable()) GTEST_SKIP() << "OpenAL Soft's loopback device is not available";
  varn::resetGlobals();  // as a new process starts: the other plays in this one may have ended the game
  ScriptedPlatform platform;
  platform.mixSound(48000);
  platform.idle(40).click(1).idle(30);                        // 40: a shot; its bullet strikes the level soon after
  platform.hold({GLFW_KEY_M}, 2).idle(12).click(1).idle(16);  // 71: muted, 72 held in the cooldown; 85: a shot
  platform.hold({GLFW_KEY_M});                                // 102: on again
  platform.setAfterScript(ScriptedPlatform::AfterScript::ReleaseAll);  // until an enemy reaches the robot
  int lossFrame = -1;
  const PlayResult result = play("sound", platform, [&](const FrameRecord& f) {
    if (varn::gameLost && lossFrame < 0) lossFrame = f.frame;
  });
  expectCleanRun(result);
  const Mix& mix = platform.soundFrames();
  expectOneFrameOfSamplesPerFrame(mix, result);
  ASSERT_GE(mix.size(), 120u);

  // The saws swell and fade smoothly (their whine wobbles four times a second); anything
  // else at the start would stand out. The shot is a jump from one frame to the next, in
  // its own frame and in none before.
  EXPECT_GT(loudest(mix[0]), 0.0f) << "the saws are heard from the start";
  for (size_t f = 1; f < 40; ++f) EXPECT_LT(loudest(mix[f]), 1.5f * loudest(mix[f - 1])) << "frame " << f;
  EXPECT_GT(loudest(mix[40]), 2.0f * loudest(mix[39])) << "the shot is heard in its frame";

  // M pressed in frame 71 silences that very frame's mix, the shot fired while muted
  // included; M again in frame 102 brings the saws back in that frame.
  for (size_t f = 71; f < 102; ++f) EXPECT_EQ(loudest(mix[f]), 0.0f) << "muted, frame " << f;
  EXPECT_GT(loudest(mix[102]), 0.0f) << "heard again from the frame M is pressed again";
  EXPECT_NE(result.out.find(varn::test::consoleLines(varn::app::text::kSoundOff, varn::app::text::kSoundOn)), std::string::npos) << result.out;

  // Left standing, the robot is reached: the falling tone of the loss from that frame on.
  ASSERT_GT(lossFrame, 102) << result.out;
  const size_t loss = static_cast<size_t>(lossFrame);
  EXPECT_GT(loudest(mix[loss]), 2.0f * loudest(mix[loss - 1])) << "the loss is heard in its frame";
  EXPECT_TRUE(result.endsWith(varn::test::consoleLines(varn::app::text::kLostLines))) << result.out;
  EXPECT_LT(loudestOf(mix, 0, mix.size()), 1.0f) << "the mix never clips";
}

TEST(Playthrough, TheFightHeardFrameByFrame) {
  if (!loopbackAvailable()) GTEST_SKIP() << "OpenAL Soft's loopback device is not available";
  varn::resetGlobals();  // as a new process starts: the other plays in this one may have ended the game
  ScriptedPlatform platform;
  platform.mixSound(48000);
  // The enemies close in while the robot stands; then the trigger held with the aim on the
  // nearest living enemy until both are down, and two seconds of standing still for the
  // last shot and hit to die away.
  constexpr int kCloseIn = 84;
  constexpr int kSoundFrames = 6;  // a shot or a hit is over within a tenth of a second
  platform.idle(kCloseIn);
  platform.click(6 * kFramesPerSecond).idle(2 * kFramesPerSecond);
  const int fightEnd = platform.scriptLength() - 2 * kFramesPerSecond;
  FightLog log;
  int busyUntil = -1;
  const PlayResult result = play("fight-sound", platform, [&](const FrameRecord& f) {
    log.seen[0].push_back(seenFromCamera(varn::enemy1));
    log.seen[1].push_back(seenFromCamera(varn::enemy2));
    const bool shot = f.frame >= kCloseIn && f.frame < fightEnd && (f.frame - kCloseIn) % 30 == 0;
    if (f.newEffectKind == 1) log.hitFrames.push_back(f.frame);
    if (shot || f.newEffectKind >= 0) busyUntil = f.frame + kSoundFrames;
    log.busy.push_back(f.frame < busyUntil);
    const bool destroyed[2] = {varn::enemy1Destroyed, varn::enemy2Destroyed};
    for (int e = 0; e < 2; ++e)
      if (destroyed[e] && log.destroyedFrame[e] < 0) log.destroyedFrame[e] = f.frame;
    if (f.frame < kCloseIn - 1 || f.frame >= fightEnd || (destroyed[0] && destroyed[1])) return;
    const bool firstIsNearer = glm::length(middle(varn::enemy1) - f.robotPosition) <=
                               glm::length(middle(varn::enemy2) - f.robotPosition);
    const glm::vec3 target = destroyed[1] || (!destroyed[0] && firstIsNearer) ? middle(varn::enemy1) : middle(varn::enemy2);
    aimAt(platform, {target.x, f.robotPosition.y + 1.5f, target.z});
  });
  expectCleanRun(result);
  const Mix& mix = platform.soundFrames();
  expectOneFrameOfSamplesPerFrame(mix, result);
  ASSERT_TRUE(log.destroyedFrame[0] >= 0 && log.destroyedFrame[1] >= 0) << "both enemies destroyed in the fight";
  ASSERT_EQ(log.hitFrames.size(), 4u) << "two hits on each enemy";

  // Closing in: both saws nearer by more than a tenth in the last half second of standing
  // than in the first, and louder in both ears by at least a tenth.
  for (const auto& seen : log.seen)
    ASSERT_GT(glm::length(seen[0]), 1.1f * glm::length(seen[kCloseIn - 1])) << "the enemies close in";
  for (size_t channel : {0u, 1u})
    EXPECT_GT(channelLevel(mix, kCloseIn - 30, kCloseIn, channel), 1.1 * channelLevel(mix, 0, 30, channel))
        << "the saws grow louder as they close in, channel " << channel;

  // Each hit on an enemy, the destroying ones included, is a jump in its own frame.
  for (int hit : log.hitFrames) {
    const size_t f = static_cast<size_t>(hit);
    EXPECT_GT(loudest(mix[f]), 1.5f * loudest(mix[f - 1])) << "the hit is heard in its frame " << hit;
  }

  // Between the two enemies' ends only the survivor's saw is heard, in the ear on its side.
  const int survivor = log.destroyedFrame[0] > log.destroyedFrame[1] ? 0 : 1;
  const int alone = std::min(log.destroyedFrame[0], log.destroyedFrame[1]) + 20;  // the destroying hit died away
  double near = 0.0, far = 0.0;
  int frames = 0;
  for (int f = alone; f < log.destroyedFrame[survivor]; ++f) {
    const size_t i = static_cast<size_t>(f);
    if (log.busy[i]) continue;
    const bool onTheLeft = log.seen[survivor][i].x < 0.0f;
    near += channelLevel(mix, i, i + 1, onTheLeft ? 0 : 1);
    far += channelLevel(mix, i, i + 1, onTheLeft ? 1 : 0);
    ++frames;
  }
  ASSERT_GT(frames, 10) << "frames with the survivor's saw alone";
  EXPECT_GT(near, 1.5 * far) << "the saw is louder in the ear on its side";

  // The last shot left at the end of the fight; its bullet has met a wall long before.
  for (size_t f = mix.size() - kFramesPerSecond / 2; f < mix.size(); ++f)
    EXPECT_EQ(loudest(mix[f]), 0.0f) << "a saw still heard after its enemy was destroyed, frame " << f;
  EXPECT_LT(loudestOf(mix, 0, mix.size()), 1.0f) << "the fight's mix never clips";
}
