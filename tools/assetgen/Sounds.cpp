// Synthesis of the sound effects. Every clip starts at full envelope in its first sample, so
// the game's first audible sample is the event's own frame, and ends at silence; the saw's
// whine is a whole number of periods long, so it loops without a click.
#include "Sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

#include "Image.h"

namespace assetgen {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kPeak = 0.5;  // every clip's loudest sample: all of them together stay below full scale

// Seeded white noise in [-1, 1): one value per sample index.
double noise(int index, uint32_t seed) { return 2.0 * hashUnit(index, 0, seed) - 1.0; }

std::vector<double> silence(double seconds) {
  return std::vector<double>(static_cast<size_t>(std::lround(seconds * kSoundRate)), 0.0);
}

// Exponential decay that reaches about 1/1000 at the clip's end, then a short fade to zero.
double decay(size_t i, size_t length) {
  const double t = static_cast<double>(i) / static_cast<double>(length);
  const double fade = std::min(1.0, (1.0 - t) * 50.0);
  return std::exp(-6.9 * t) * fade;
}

// One-pole low-pass over the clip: `keep` near 1 is darker.
void lowPass(std::vector<double>& samples, double keep) {
  double state = 0.0;
  for (double& s : samples) s = state = keep * state + (1.0 - keep) * s;
}

void normalise(std::vector<double>& samples) {
  double loudest = 0.0;
  for (double s : samples) loudest = std::max(loudest, std::abs(s));
  if (loudest > 0.0)
    for (double& s : samples) s *= kPeak / loudest;
}

// A sine sweeping from `from` to `to` Hz over the clip, with the decaying envelope.
std::vector<double> chirp(double seconds, double from, double to, double noiseShare, uint32_t seed) {
  std::vector<double> out = silence(seconds);
  double phase = 0.0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(out.size());
    phase += kTwoPi * (from + (to - from) * t) / kSoundRate;
    const double tone = std::sin(phase) * (1.0 - noiseShare) + noise(static_cast<int>(i), seed) * noiseShare;
    out[i] = tone * decay(i, out.size());
  }
  normalise(out);
  return out;
}

// Filtered noise with the decaying envelope and a low rumble beneath it.
std::vector<double> burst(double seconds, double darkness, double rumbleHz, uint32_t seed) {
  std::vector<double> out = silence(seconds);
  for (size_t i = 0; i < out.size(); ++i) out[i] = noise(static_cast<int>(i), seed);
  lowPass(out, darkness);
  for (size_t i = 0; i < out.size(); ++i) {
    const double rumble = 0.3 * std::sin(kTwoPi * rumbleHz * static_cast<double>(i) / kSoundRate);
    out[i] = (out[i] + rumble) * decay(i, out.size());
  }
  normalise(out);
  return out;
}

// A struck metal plate: inharmonic partials, each dying away at its own rate.
std::vector<double> clang(double seconds, double baseHz, uint32_t seed) {
  const double partials[][2] = {{1.0, 1.0}, {2.76, 0.6}, {5.4, 0.4}, {8.93, 0.25}};
  std::vector<double> out = silence(seconds);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSoundRate;
    double s = 0.15 * noise(static_cast<int>(i), seed) * std::exp(-60.0 * t);
    for (const auto& partial : partials) s += partial[1] * std::sin(kTwoPi * baseHz * partial[0] * t);
    out[i] = s * decay(i, out.size());
  }
  normalise(out);
  return out;
}

// The saw's whine: a band-limited sawtooth of 600 Hz (80 samples a period) with a
// 4 Hz wobble in its brightness, 300 periods long, at a steady level.
std::vector<double> sawWhine() {
  std::vector<double> out = silence(0.5);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSoundRate;
    const double bright = 0.75 + 0.25 * std::sin(kTwoPi * 4.0 * t);
    double s = 0.0;
    for (int harmonic = 1; harmonic <= 12; ++harmonic)
      s += std::pow(bright, harmonic - 1) * std::sin(kTwoPi * 600.0 * harmonic * t) / harmonic;
    out[i] = s;
  }
  normalise(out);
  return out;
}

}  // namespace

std::vector<SoundClip> synthesiseSounds() {
  return {
      {"shot", chirp(0.18, 1400.0, 300.0, 0.35, 11)},
      {"hit-level", burst(0.15, 0.6, 90.0, 12)},
      {"hit-enemy", clang(0.3, 420.0, 13)},
      {"enemy-destroyed", clang(0.9, 180.0, 14)},
      {"saw", sawWhine()},
      {"jump", chirp(0.16, 260.0, 620.0, 0.1, 15)},
      {"land", burst(0.12, 0.93, 60.0, 16)},
      {"explosion", burst(4.0, 0.97, 38.0, 17)},
      {"loss", chirp(0.9, 660.0, 110.0, 0.0, 18)},
      {"click", chirp(0.02, 2400.0, 1800.0, 0.2, 19)},
  };
}

bool writeWav(const SoundClip& clip, const std::string& path) {
  std::string bytes;
  auto put = [&bytes](uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  };
  const uint32_t dataBytes = static_cast<uint32_t>(clip.samples.size() * 2);
  bytes += "RIFF";
  put(36 + dataBytes, 4);
  bytes += "WAVEfmt ";
  put(16, 4);
  put(1, 2);  // PCM
  put(1, 2);  // mono
  put(kSoundRate, 4);
  put(kSoundRate * 2, 4);
  put(2, 2);
  put(16, 2);
  bytes += "data";
  put(dataBytes, 4);
  for (double s : clip.samples) {
    const long value = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
    put(static_cast<uint32_t>(static_cast<int32_t>(value)) & 0xFFFF, 2);
  }
  std::ofstream file(path, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

}  // namespace assetgen
