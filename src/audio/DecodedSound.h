// Decoding one sound file through libsndfile, apart from the mixer, so that it runs (and is
// fuzzed) without a sound device.
#pragma once

#include <string>
#include <vector>

namespace varn::audio {

// A file's samples as 16-bit mono at its own rate, or no samples and the reason it was refused.
struct DecodedSound {
  std::vector<short> samples;
  int sampleRate = 0;  // samples a second
  std::string refusal;
};

// Refuses a file that is missing, not a regular file, unreadable, or not a mono sound of at
// most 10 seconds; a header that claims more samples than the file holds is capped by the file.
DecodedSound decodeSoundFile(const std::string& path);

}  // namespace varn::audio
