// Reading the rendered frame back from the GPU, for pixel checks and saved PNG artifacts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varn::test {

// The back buffer of the current context as RGB bytes, top row first.
std::vector<uint8_t> readBackBuffer(int width, int height);

// Writes the back buffer as a PNG (top row first), creating missing directories. False on failure.
bool saveScreenshot(const std::string& path, int width, int height);

}  // namespace varn::test
