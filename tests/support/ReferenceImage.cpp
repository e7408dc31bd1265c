// Reference pictures: reading, compact writing, comparison and the difference picture.
// Holds the one stb_image (reading) instance of the test support.
#include "ReferenceImage.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>

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

namespace {

void appendBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void appendChunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& data) {
  appendBigEndian(out, static_cast<uint32_t>(data.size()));
  const size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
  appendBigEndian(out, static_cast<uint32_t>(crc));
}

uint8_t paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Top row first; channels 3 (RGB) or 4 (RGBA).
bool writePng(const std::string& path, int width, int height, int channels, const std::vector<uint8_t>& bytes) {
  const size_t stride = static_cast<size_t>(width) * static_cast<size_t>(channels);
  if (width <= 0 || height <= 0 || bytes.size() != stride * static_cast<size_t>(height)) return false;
  // Each row gets the filter whose output has the smallest sum of magnitudes.
  std::vector<uint8_t> filtered;
  filtered.reserve((stride + 1) * static_cast<size_t>(height));
  const std::vector<uint8_t> zeroRow(stride, 0);
  std::array<std::vector<uint8_t>, 5> candidates;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = bytes.data() + static_cast<size_t>(y) * stride;
    const uint8_t* up = y > 0 ? row - stride : zeroRow.data();
    size_t best = 0;
    long bestCost = -1;
    for (size_t filter = 0; filter < candidates.size(); ++filter) {
      std::vector<uint8_t>& out = candidates[filter];
      out.resize(stride);
      long cost = 0;
      for (size_t x = 0; x < stride; ++x) {
        const int a = x >= static_cast<size_t>(channels) ? row[x - channels] : 0;
        const int b = up[x];
        const int c = x >= static_cast<size_t>(channels) ? up[x - channels] : 0;
        const int predicted = filter == 0   ? 0
                              : filter == 1 ? a
                              : filter == 2 ? b
                              : filter == 3 ? (a + b) / 2
                                            : paeth(a, b, c);
        out[x] = static_cast<uint8_t>(row[x] - predicted);
        cost += std::abs(static_cast<int>(static_cast<int8_t>(out[x])));
      }
      if (bestCost < 0 || cost < bestCost) {
        bestCost = cost;
        best = filter;
      }
    }
    filtered.push_back(static_cast<uint8_t>(best));
    filtered.insert(filtered.end(), candidates[best].begin(), candidates[best].end());
  }
  uLongf compressedSize = compressBound(static_cast<uLong>(filtered.size()));
  std::vector<uint8_t> compressed(compressedSize);
  if (compress2(compressed.data(), &compressedSize, filtered.data(), static_cast<uLong>(filtered.size()),
                Z_BEST_COMPRESSION) != Z_OK)
    return false;
  compressed.resize(compressedSize);

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  std::vector<uint8_t> header;
  appendBigEndian(header, static_cast<uint32_t>(width));
  appendBigEndian(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, static_cast<uint8_t>(channels == 4 ? 6 : 2), 0, 0, 0});
  appendChunk(png, "IHDR", header);
  appendChunk(png, "IDAT", compressed);
  appendChunk(png, "IEND", {});

  std::error_code error;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, error);
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(file);
}

}  // namespace

bool savePicture(const std::string& path, const RgbFrame& picture) {
  return writePng(path, picture.width, picture.height, 3, picture.rgb);
}

bool savePictureOverBase(const std::string& path, const RgbFrame& picture, const RgbFrame& base) {
  if (picture.rgb.size() != base.rgb.size()) return false;
  std::vector<uint8_t> rgba(picture.rgb.size() / 3 * 4, 0);
  for (size_t pixel = 0; pixel * 3 < picture.rgb.size(); ++pixel) {
    if (std::equal(&picture.rgb[pixel * 3], &picture.rgb[pixel * 3] + 3, &base.rgb[pixel * 3])) continue;
    std::copy(&picture.rgb[pixel * 3], &picture.rgb[pixel * 3] + 3, &rgba[pixel * 4]);
    rgba[pixel * 4 + 3] = 255;
  }
  return writePng(path, picture.width, picture.height, 4, rgba);
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

Difference comparePictures(const RgbFrame& got, const RgbFrame& expected) {
  Difference difference;
  difference.totalPixels = static_cast<size_t>(expected.width) * static_cast<size_t>(expected.height);
  difference.sameSize = got.width == expected.width && got.height == expected.height &&
                        got.rgb.size() == expected.rgb.size() && expected.rgb.size() == difference.totalPixels * 3;
  if (!difference.sameSize) {
    difference.differingPixels = difference.totalPixels;
    return difference;
  }
  for (size_t pixel = 0; pixel < difference.totalPixels; ++pixel) {
    int largest = 0;
    for (size_t channel = 0; channel < 3; ++channel) {
      const size_t at = pixel * 3 + channel;
      largest = std::max(largest, std::abs(static_cast<int>(got.rgb[at]) - static_cast<int>(expected.rgb[at])));
    }
    difference.largestChannelDifference = std::max(difference.largestChannelDifference, largest);
    if (largest > kChannelTolerance) ++difference.differingPixels;
  }
  return difference;
}

RgbFrame differencePicture(const RgbFrame& got, const RgbFrame& expected) {
  RgbFrame picture = expected;
  const bool comparable = got.rgb.size() == expected.rgb.size();
  for (size_t pixel = 0; pixel * 3 < picture.rgb.size(); ++pixel) {
    bool differs = !comparable;
    for (size_t channel = 0; channel < 3 && !differs; ++channel) {
      const size_t at = pixel * 3 + channel;
      differs = std::abs(static_cast<int>(got.rgb[at]) - static_cast<int>(expected.rgb[at])) > kChannelTolerance;
    }
    uint8_t* rgb = &picture.rgb[pixel * 3];
    if (differs) {
      rgb[0] = 255;
      rgb[1] = 0;
      rgb[2] = 0;
    } else {
      for (size_t channel = 0; channel < 3; ++channel) rgb[channel] = static_cast<uint8_t>(rgb[channel] / 3);
    }
  }
  return picture;
}

}  // namespace varn::test
