// Sound files: libsndfile decodes, OpenAL keeps the samples. Only regular files are opened,
// so a FIFO or a folder in a sound's place never blocks or confuses the reader, and a
// header that claims more samples than the file can hold is capped by the file's size.
#include "audio/SoundFile.h"

#include <sndfile.h>

#include <filesystem>
#include <vector>

#include "app/Console.h"

namespace varn::audio {

namespace {

constexpr sf_count_t kLongestSeconds = 10;  // no sound of the game lasts longer

ALuint refuse(const std::string& path, const std::string& why) {
  app::printError("ERROR: could not load sound " + path + ": " + why);
  return 0;
}

}  // namespace

ALuint loadSoundFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error || !std::filesystem::is_regular_file(status)) return refuse(path, "not a regular file");
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return refuse(path, sf_strerror(nullptr));
  const bool usable = info.channels == 1 && info.samplerate > 0 && info.frames > 0 &&
                      info.frames <= kLongestSeconds * info.samplerate;
  std::vector<short> samples(usable ? static_cast<size_t>(info.frames) : 0);
  const sf_count_t read = usable ? sf_readf_short(file, samples.data(), info.frames) : 0;
  sf_close(file);
  if (!usable) return refuse(path, "not a mono sound of at most 10 seconds");
  if (read <= 0) return refuse(path, "no samples");
  samples.resize(static_cast<size_t>(read));
  ALuint buffer = 0;
  alGenBuffers(1, &buffer);
  alBufferData(buffer, AL_FORMAT_MONO16, samples.data(), static_cast<ALsizei>(samples.size() * sizeof(short)),
               info.samplerate);
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &buffer);
    return refuse(path, "rejected by the mixer");
  }
  return buffer;
}

}  // namespace varn::audio
