// libFuzzer target: a sound file decoded through libsndfile as the game decodes Sounds/*.wav
// before it hands the samples to the mixer.
#include "FuzzInput.h"
#include "audio/DecodedSound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = varn::fuzz::writeScratch("input.wav", data, size);
  const varn::audio::DecodedSound sound = varn::audio::decodeSoundFile(path);
  // Reads the last sample the mixer would read, so that a short buffer shows.
  if (!sound.samples.empty()) {
    volatile short last = sound.samples.back();
    (void)last;
  }
  return 0;
}
