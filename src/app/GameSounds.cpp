// The game's sounds. Jumps, landings and the loss are told apart from the state the
// frame leaves, so the scene classes and the rules that set it need not know of sound:
// a jump is the robot leaving the ground going up, a landing the end of such a jump (the
// drop onto the start floor is not one), and the loss the frame gameLost is first set in.
#include "app/GameSounds.h"

#include "app/Globals.h"
#include "audio/Audio.h"

namespace varn::app {

namespace {

struct Heard {
  bool airborne = false;
  bool jumping = false;
  bool lost = false;
};

Heard heard;

glm::vec3 middle(const scene::Enemy& enemy) { return (enemy.worldCornerA + enemy.worldCornerB) * 0.5f; }

void robotSounds() {
  const glm::vec3 feet(character.modelMatrix[3]);
  if (character.airborne && !heard.airborne && character.verticalSpeed > 0.0f) {
    audio::play(audio::Sound::Jump, feet);
    heard.jumping = true;
  }
  if (!character.airborne && heard.airborne && heard.jumping) {
    audio::play(audio::Sound::Land, feet);
    heard.jumping = false;
  }
  heard.airborne = character.airborne;
}

}  // namespace

void startSound(Platform& platform) {
  heard = Heard{};
  audio::start(platform.soundOutput());
}

void stopSound() { audio::stop(); }

void hearFrame() {
  if (!audio::running()) return;
  robotSounds();
  if (gameLost && !heard.lost) audio::playAtListener(audio::Sound::Loss);
  heard.lost = gameLost;
  audio::hear(activeCamera->modelMatrix, {audio::Saw{middle(enemy1), !enemy1Destroyed},
                                          audio::Saw{middle(enemy2), !enemy2Destroyed}});
}

}  // namespace varn::app
