// The game's sound: one device and context, a buffer per sound file, the sources that play
// them and the listener. The game's rules call play() when an event happens and hear()
// once a frame; without a sound device every call does nothing.
#pragma once

#include <array>
#include <glm/glm.hpp>
#include <vector>

namespace varn::audio {

enum class Sound { Shot, HitLevel, HitEnemy, EnemyDestroyed, Saw, Jump, Land, Explosion, Loss, Click, Count };

// Where the mix goes: the system's default device, or a loopback device whose samples
// the caller renders itself (stereo 32-bit float at sampleRate).
struct Output {
  bool loopback = false;
  int sampleRate = 48000;
};

// One enemy's saw as the frame leaves it.
struct Saw {
  glm::vec3 position{0.0f};
  bool spinning = false;  // a destroyed enemy's saw is silent
};

// Opens the output and loads every file under Sounds/. Prints nothing when there is no
// device; a sound file that cannot be read leaves that sound silent, with one line on
// standard error.
void start(const Output& output);
// Plays the sound once where the event happened, in world space.
void play(Sound sound, const glm::vec3& position);
// Plays the sound once at the listener, the same in both ears.
void playAtListener(Sound sound);
// Once a frame: the listener takes the camera's place (view is the camera's view matrix)
// and the saws follow their enemies.
void hear(const glm::mat4& view, const std::array<Saw, 2>& saws);
// Mutes or unmutes everything; returns true when muted now.
bool toggleMute();
// Stops and releases every source and buffer and closes the device.
void stop();

// True between a successful start and stop.
bool running();
// Loopback output only: mixes the next `frames` stereo sample frames into `out`.
void renderLoopback(std::vector<float>& out, int frames);

}  // namespace varn::audio
