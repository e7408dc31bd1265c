// Comparing rendered frames with committed reference pictures: the tolerance, the count
// of differing pixels, and the picture that shows where they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace varn::test {

// The tolerance of every reference comparison, stated once: a pixel differs when any of
// its channels differs by more than kChannelTolerance (of 255), and a frame fails when
// more than kDifferingShareAllowed of its pixels differ.
constexpr int kChannelTolerance = 5;
constexpr double kDifferingShareAllowed = 0.001;

// RGB bytes, top row first.
struct RgbFrame {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

// Reads a PNG as RGB; false if the file is missing or unreadable.
bool loadPicture(const std::string& path, RgbFrame& picture);

// Writes the picture as an RGB PNG, each row with the filter that suits it best and the
// whole at zlib's strongest compression, creating missing directories. False on failure.
bool savePicture(const std::string& path, const RgbFrame& picture);

// A reference may be stored against a base picture: an RGBA PNG in which every pixel equal
// to the base's is transparent (and black), so a frame that changes little from its base
// takes little room. These write and read that form.
bool savePictureOverBase(const std::string& path, const RgbFrame& picture, const RgbFrame& base);
bool loadPictureOverBase(const std::string& path, const RgbFrame& base, RgbFrame& picture);

struct Difference {
  size_t differingPixels = 0;  // pixels with a channel off by more than kChannelTolerance
  size_t totalPixels = 0;
  int largestChannelDifference = 0;
  bool sameSize = true;

  // Within the tolerance: same size, and few enough differing pixels.
  bool withinTolerance() const {
    return sameSize &&
           static_cast<double>(differingPixels) <= kDifferingShareAllowed * static_cast<double>(totalPixels);
  }
};

Difference comparePictures(const RgbFrame& got, const RgbFrame& expected);

// The expected picture dimmed to a third, with every differing pixel pure red.
RgbFrame differencePicture(const RgbFrame& got, const RgbFrame& expected);

}  // namespace varn::test
