// Reference pictures: reading, compact writing, comparison and the difference picture.
// Holds the one stb_image (reading) instance of the test support.
#include "ReferenceImage.h"

#include <algorithm>
#include <cstdlib>

#include "Screenshot.h"

// A third-party single-file library: its own warnings are not ours to fix. Static, so its
// decoder cannot clash with the copy inside SOIL.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace varn::test {

bool savePicture(const std::string& path, const RgbFrame& picture) {
  return savePng(path, picture.width, picture.height, 3, picture.rgb);
}

bool savePictureOverBase(const std::string& path, const RgbFrame& picture, const RgbFrame& base) {
  if (picture.rgb.size() != base.rgb.size()) return false;
  std::vector<uint8_t> rgba(picture.rgb.size() / 3 * 4, 0);
  for (size_t pixel = 0; pixel * 3 < picture.rgb.size(); ++pixel) {
    if (std::equal(&picture.rgb[pixel * 3], &picture.rgb[pixel * 3] + 3, &base.rgb[pixel * 3])) continue;
    std::copy(&picture.rgb[pixel * 3], &picture.rgb[pixel * 3] + 3, &rgba[pixel * 4]);
    rgba[pixel * 4 + 3] = 255;
  }
  return savePng(path, picture.width, picture.height, 4, rgba);
}

bool loadPictureOverBase(const std::string& path, const RgbFrame& base, RgbFrame& picture) {
  int width = 0, height = 0, channels = 0;
  stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
  if (pixels == nullptr) return false;
  const bool fits = width == base.width && height == base.height;
  if (fits) {
    picture = base;
    for (size_t pixel = 0; pixel < static_cast<size_t>(width) * static_cast<size_t>(height); ++pixel) {
      if (pixels[pixel * 4 + 3] != 0) std::copy(pixels + pixel * 4, pixels + pixel * 4 + 3, &picture.rgb[pixel * 3]);
    }
  }
  stbi_image_free(pixels);
  return fits;
}

bool loadPicture(const std::string& path, RgbFrame& picture) {
  int width = 0, height = 0, channels = 0;
  stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
  if (pixels == nullptr) return false;
  picture.width = width;
  picture.height = height;
  picture.rgb.assign(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  stbi_image_free(pixels);
  return true;
}

namespace {

int largestChannelDifference(const RgbFrame& got, const RgbFrame& expected, size_t pixel) {
  int largest = 0;
  for (size_t at = pixel * 3; at < pixel * 3 + 3; ++at)
    largest = std::max(largest, std::abs(static_cast<int>(got.rgb[at]) - static_cast<int>(expected.rgb[at])));
  return largest;
}

}  // namespace

Difference comparePictures(const RgbFrame& got, const RgbFrame& expected) {
  Difference difference;
  difference.totalPixels = static_cast<size_t>(expected.width) * static_cast<size_t>(expected.height);
  difference.sameSize = got.width == expected.width && got.height == expected.height &&
                        got.rgb.size() == expected.rgb.size() && expected.rgb.size() == difference.totalPixels * 3;
  if (!difference.sameSize) difference.differingPixels = difference.totalPixels;
  for (size_t pixel = 0; difference.sameSize && pixel < difference.totalPixels; ++pixel) {
    const int largest = largestChannelDifference(got, expected, pixel);
    difference.largestChannelDifference = std::max(difference.largestChannelDifference, largest);
    if (largest > kChannelTolerance) ++difference.differingPixels;
  }
  return difference;
}

RgbFrame differencePicture(const RgbFrame& got, const RgbFrame& expected) {
  RgbFrame picture = expected;
  const bool comparable = got.rgb.size() == expected.rgb.size();
  for (size_t pixel = 0; pixel * 3 < picture.rgb.size(); ++pixel) {
    uint8_t* rgb = &picture.rgb[pixel * 3];
    if (!comparable || largestChannelDifference(got, expected, pixel) > kChannelTolerance) {
      rgb[0] = 255, rgb[1] = rgb[2] = 0;
    } else {
      for (size_t channel = 0; channel < 3; ++channel) rgb[channel] = static_cast<uint8_t>(rgb[channel] / 3);
    }
  }
  return picture;
}

}  // namespace varn::test
