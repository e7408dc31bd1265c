// Sound files: decoded apart (DecodedSound), kept by OpenAL.
#include "audio/SoundFile.h"

#include "app/Console.h"
#include "audio/DecodedSound.h"

namespace varn::audio {

namespace {

ALuint refuse(const std::string& path, const std::string& why) {
  app::printError("ERROR: could not load sound " + path + ": " + why);
  return 0;
}

}  // namespace

ALuint loadSoundFile(const std::string& path) {
  const DecodedSound sound = decodeSoundFile(path);
  if (!sound.refusal.empty()) return refuse(path, sound.refusal);
  ALuint buffer = 0;
  alGenBuffers(1, &buffer);
  alBufferData(buffer, AL_FORMAT_MONO16, sound.samples.data(),
               static_cast<ALsizei>(sound.samples.size() * sizeof(short)), sound.sampleRate);
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &buffer);
    return refuse(path, "rejected by the mixer");
  }
  return buffer;
}

}  // namespace varn::audio
