// Reading the rendered frame back from the GPU, for pixel checks and saved PNG artifacts.
#pragma once

#include <cstdint>
#include <glm/glm.hpp>
#include <string>
#include <vector>

namespace varn::test {

// The back buffer of the current context as RGB bytes, top row first.
std::vector<uint8_t> readBackBuffer(int width, int height);

// Writes RGB (channels 3) or RGBA (4) bytes, top row first, as a PNG, creating missing directories.
bool savePng(const std::string& path, int width, int height, int channels, const std::vector<uint8_t>& bytes);
// Writes the back buffer as a PNG (top row first), creating missing directories. False on failure.
bool saveScreenshot(const std::string& path, int width, int height);

// An 800 x 600 frame read back from the window, and the probes the tests read it by.
struct Picture {
  static constexpr int kWidth = 800, kHeight = 600;
  std::vector<uint8_t> rgb = readBackBuffer(kWidth, kHeight);

  static bool contains(int x, int y) { return x >= 0 && y >= 0 && x < kWidth && y < kHeight; }
  glm::vec3 at(int x, int y) const;
  // The mean colour over the square of half-size radius around a pixel, clipped to the picture.
  glm::vec3 patch(glm::vec2 centre, int radius) const;
};

}  // namespace varn::test
