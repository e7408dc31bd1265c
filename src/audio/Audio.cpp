// The sources and the listener. One-shot sounds take a source from a small pool (the one
// that has been playing longest when all are busy); each saw has a looping source of its own.
// Distances suit the level: full loudness within a robot's length, and a shot across the
// largest room still heard, a quarter as loud at twelve units.
#include "audio/Audio.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <string>

#include "audio/Device.h"
#include "audio/SoundFile.h"

namespace varn::audio {

namespace {

constexpr int kSoundCount = static_cast<int>(Sound::Count);
constexpr int kPoolSize = 16;
constexpr float kReferenceDistance = 3.0f;
constexpr float kRolloff = 1.0f;
// Every clip peaks at half scale; with this master gain the loudest moment of a game
// (two saws, an explosion, a hit, a few shots) stays below full scale.
constexpr float kMasterGain = 0.4f;

const char* const kFileNames[kSoundCount] = {"shot",  "hit-level", "hit-enemy", "enemy-destroyed", "saw",
                                             "jump",  "land",      "explosion", "loss",            "click"};

struct State {
  DeviceHandles handles;
  bool loopback = false;
  ALuint buffers[kSoundCount] = {};
  ALuint pool[kPoolSize] = {};
  unsigned long startedAt[kPoolSize] = {};  // play counter when each pool source was started
  unsigned long plays = 0;
  ALuint saws[2] = {};
  bool sawPlaying[2] = {};
  bool muted = false;
};

State state;

void placeSource(ALuint source, float gain, float referenceDistance) {
  alSourcef(source, AL_GAIN, gain);
  alSourcef(source, AL_REFERENCE_DISTANCE, referenceDistance);
  alSourcef(source, AL_ROLLOFF_FACTOR, kRolloff);
}

void loadSounds() {
  for (int i = 0; i < kSoundCount; ++i)
    state.buffers[i] = loadSoundFile(std::string("Sounds/") + kFileNames[i] + ".wav");
}

void makeSources() {
  alGenSources(kPoolSize, state.pool);
  for (ALuint source : state.pool) placeSource(source, 1.0f, kReferenceDistance);
  alGenSources(2, state.saws);
  for (ALuint source : state.saws) {
    placeSource(source, 0.8f, 2.0f);
    alSourcei(source, AL_LOOPING, AL_TRUE);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(state.buffers[static_cast<int>(Sound::Saw)]));
  }
  alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
  alDopplerFactor(0.0f);  // the saws keep their pitch however fast the camera turns
  alListenerf(AL_GAIN, kMasterGain);
}

// A free pool source, or the one started longest ago.
ALuint takeSource() {
  int chosen = 0;
  for (int i = 0; i < kPoolSize; ++i) {
    ALint playing = AL_STOPPED;
    alGetSourcei(state.pool[i], AL_SOURCE_STATE, &playing);
    if (playing != AL_PLAYING) {
      chosen = i;
      break;
    }
    if (state.startedAt[i] < state.startedAt[chosen]) chosen = i;
  }
  state.startedAt[chosen] = ++state.plays;
  alSourceStop(state.pool[chosen]);
  return state.pool[chosen];
}

ALuint startSound(Sound sound) {
  const ALuint buffer = state.buffers[static_cast<int>(sound)];
  if (!running() || buffer == 0) return 0;
  const ALuint source = takeSource();
  alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
  return source;
}

void followSaw(int index, const Saw& saw) {
  const ALuint source = state.saws[index];
  alSource3f(source, AL_POSITION, saw.position.x, saw.position.y, saw.position.z);
  if (saw.spinning == state.sawPlaying[index]) return;
  if (saw.spinning) {
    alSourcePlay(source);
  } else {
    alSourceStop(source);
  }
  state.sawPlaying[index] = saw.spinning;
}

}  // namespace

void start(const Output& output) {
  state = State{};
  state.handles = openDevice(output);
  if (state.handles.context == nullptr) return;
  state.loopback = output.loopback;
  loadSounds();
  makeSources();
}

bool running() { return state.handles.context != nullptr; }

void play(Sound sound, const glm::vec3& position) {
  const ALuint source = startSound(sound);
  if (source == 0) return;
  alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
  alSource3f(source, AL_POSITION, position.x, position.y, position.z);
  alSourcePlay(source);
}

void playAtListener(Sound sound) {
  const ALuint source = startSound(sound);
  if (source == 0) return;
  alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
  alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
  alSourcePlay(source);
}

void hear(const glm::mat4& view, const std::array<Saw, 2>& saws) {
  if (!running()) return;
  if (!deviceConnected(state.handles.device)) {
    stop();  // the game plays on, silent
    return;
  }
  // The camera's place and axes in the world are the inverse view's columns.
  const glm::mat4 camera = glm::inverse(view);
  const glm::vec3 eye(camera[3]);
  const glm::vec3 forward = -glm::vec3(camera[2]);
  const glm::vec3 up(camera[1]);
  const ALfloat orientation[6] = {forward.x, forward.y, forward.z, up.x, up.y, up.z};
  alListener3f(AL_POSITION, eye.x, eye.y, eye.z);
  alListenerfv(AL_ORIENTATION, orientation);
  for (int i = 0; i < 2; ++i) followSaw(i, saws[static_cast<size_t>(i)]);
}

bool toggleMute() {
  state.muted = !state.muted;
  if (running()) alListenerf(AL_GAIN, state.muted ? 0.0f : kMasterGain);
  return state.muted;
}

void stop() {
  if (!running()) return;
  alSourceStopv(kPoolSize, state.pool);
  alSourceStopv(2, state.saws);
  alDeleteSources(kPoolSize, state.pool);
  alDeleteSources(2, state.saws);
  for (ALuint& buffer : state.buffers) {
    if (buffer != 0) alDeleteBuffers(1, &buffer);
    buffer = 0;
  }
  closeDevice(state.handles);
}

void renderLoopback(std::vector<float>& out, int frames) {
  out.assign(static_cast<size_t>(frames) * 2, 0.0f);
  if (!running() || !state.loopback) return;
  static auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  if (render != nullptr) render(state.handles.device, out.data(), frames);
}

}  // namespace varn::audio
