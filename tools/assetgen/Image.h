// A small RGBA image in memory for the texture painters, with seeded hash noise that tiles,
// and PNG output through stb_image_write.
#pragma once

#include <cstdint>
#include <glm/glm.hpp>
#include <string>
#include <vector>

namespace assetgen {

using Colour = glm::dvec4;  // components 0..1, alpha last

class Image {
 public:
  Image(int width, int height);

  void set(int x, int y, const Colour& colour);
  Colour get(int x, int y) const;
  // Writes 3 channels (RGB) or 4 (RGBA). Returns false on an I/O error.
  bool writePng(const std::string& path, int channels) const;

  int width;
  int height;

 private:
  std::vector<Colour> pixels;
};

// A hash of integer coordinates and a seed, mapped to [0, 1).
double hashUnit(int x, int y, uint32_t seed);
// Smooth value noise in [0, 1) on a lattice that repeats every `period` cells; x and y are
// in lattice cells.
double valueNoise(double x, double y, int period, uint32_t seed);
// Several octaves of valueNoise, each twice as fine; the result still repeats every
// `period` base cells. Result in [0, 1).
double fractalNoise(double x, double y, int period, int octaves, uint32_t seed);

Colour mix(const Colour& a, const Colour& b, double t);
Colour shade(const Colour& c, double factor);  // scales red, green and blue
Colour rgb(double r, double g, double b);

}  // namespace assetgen
