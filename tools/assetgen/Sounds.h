// The game's sound effects, synthesised from oscillators, seeded noise and envelopes, and
// written as 16-bit mono WAV files at the mixer's rate.
#pragma once

#include <string>
#include <vector>

namespace assetgen {

constexpr int kSoundRate = 48000;  // samples per second

struct SoundClip {
  std::string name;             // file name under Sounds/, without ".wav"
  std::vector<double> samples;  // mono, in [-1, 1]
};

// Every sound the game plays, in a fixed order.
std::vector<SoundClip> synthesiseSounds();
// A canonical 44-byte-header PCM WAV. Returns false on an I/O error.
bool writeWav(const SoundClip& clip, const std::string& path);

}  // namespace assetgen
