// Sound files through libsndfile. Only regular files are opened, so a FIFO or a folder in a
// sound's place never blocks or confuses the reader.
#include "audio/DecodedSound.h"

#include <sndfile.h>

#include <filesystem>

namespace varn::audio {

namespace {

constexpr sf_count_t kLongestSeconds = 10;  // no sound of the game lasts longer

DecodedSound refused(const std::string& why) {
  DecodedSound sound;
  sound.refusal = why;
  return sound;
}

}  // namespace

DecodedSound decodeSoundFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error || !std::filesystem::is_regular_file(status)) return refused("not a regular file");
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return refused(sf_strerror(nullptr));
  const bool usable = info.channels == 1 && info.samplerate > 0 && info.frames > 0 &&
                      info.frames <= kLongestSeconds * info.samplerate;
  DecodedSound sound;
  sound.samples.resize(usable ? static_cast<size_t>(info.frames) : 0);
  const sf_count_t read = usable ? sf_readf_short(file, sound.samples.data(), info.frames) : 0;
  sf_close(file);
  if (!usable) return refused("not a mono sound of at most 10 seconds");
  if (read <= 0) return refused("no samples");
  sound.samples.resize(static_cast<size_t>(read));
  sound.sampleRate = info.samplerate;
  return sound;
}

}  // namespace varn::audio
