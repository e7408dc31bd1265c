// Image storage, the generator's only noise (integer hashing, no library random numbers,
// so every run paints the same pixels) and PNG writing.
#include "Image.h"

#include <algorithm>
#include <cmath>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace assetgen {

Image::Image(int width, int height) : width(width), height(height), pixels(width * height, Colour(0, 0, 0, 1)) {}

void Image::set(int x, int y, const Colour& colour) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  pixels[y * width + x] = colour;
}

Colour Image::get(int x, int y) const {
  x = std::clamp(x, 0, width - 1);
  y = std::clamp(y, 0, height - 1);
  return pixels[y * width + x];
}

bool Image::writePng(const std::string& path, int channels) const {
  std::vector<unsigned char> bytes;
  bytes.reserve(pixels.size() * channels);
  for (const Colour& colour : pixels)
    for (int c = 0; c < channels; ++c)
      bytes.push_back(static_cast<unsigned char>(std::lround(std::clamp(colour[c], 0.0, 1.0) * 255.0)));
  return stbi_write_png(path.c_str(), width, height, channels, bytes.data(), width * channels) != 0;
}

double hashUnit(int x, int y, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B9u;
  h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
  h = (h << 13) | (h >> 19);
  h ^= static_cast<uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return (h >> 8) / 16777216.0;
}

double valueNoise(double x, double y, int period, uint32_t seed) {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const int ix = static_cast<int>(fx);
  const int iy = static_cast<int>(fy);
  const auto wrap = [period](int v) { return ((v % period) + period) % period; };
  const double tx = x - fx;
  const double ty = y - fy;
  const double sx = tx * tx * (3.0 - 2.0 * tx);
  const double sy = ty * ty * (3.0 - 2.0 * ty);
  const double a = hashUnit(wrap(ix), wrap(iy), seed);
  const double b = hashUnit(wrap(ix + 1), wrap(iy), seed);
  const double c = hashUnit(wrap(ix), wrap(iy + 1), seed);
  const double d = hashUnit(wrap(ix + 1), wrap(iy + 1), seed);
  return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

double fractalNoise(double x, double y, int period, int octaves, uint32_t seed) {
  double sum = 0.0;
  double weight = 0.5;
  double total = 0.0;
  for (int octave = 0; octave < octaves; ++octave) {
    sum += weight * valueNoise(x, y, period, seed + 101u * static_cast<uint32_t>(octave));
    total += weight;
    x *= 2.0;
    y *= 2.0;
    period *= 2;
    weight *= 0.5;
  }
  return sum / total;
}

Colour mix(const Colour& a, const Colour& b, double t) { return a + (b - a) * t; }

Colour shade(const Colour& c, double factor) { return Colour(c.r * factor, c.g * factor, c.b * factor, c.a); }

Colour rgb(double r, double g, double b) { return Colour(r, g, b, 1.0); }

}  // namespace assetgen
