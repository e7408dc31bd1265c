// Image files decoded with their size checked first. SOIL's decoders trust whatever
// size a header claims and crash on some huge or odd files, so an image reaches them
// only when it is a regular file whose header names a size the game can use.
#pragma once

#include <string>

namespace varn::assets {

// Decoded pixels, rows from the top of the image down, released with SOIL on destruction.
class DecodedImage {
 public:
  DecodedImage() = default;
  DecodedImage(unsigned char* pixels, int width, int height) : pixels_(pixels), width_(width), height_(height) {}
  DecodedImage(DecodedImage&& other) noexcept;
  DecodedImage& operator=(DecodedImage&& other) noexcept;
  DecodedImage(const DecodedImage&) = delete;
  DecodedImage& operator=(const DecodedImage&) = delete;
  ~DecodedImage();

  explicit operator bool() const { return pixels_ != nullptr; }
  unsigned char* pixels() const { return pixels_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  unsigned char* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// Decodes path into forcedChannels channels per pixel (SOIL_LOAD_RGB, SOIL_LOAD_RGBA).
// Empty when the header cannot be read, a side is 0 or larger than maxSide pixels, or
// SOIL cannot decode the file.
DecodedImage loadImage(const std::string& path, int forcedChannels, int maxSide);

}  // namespace varn::assets
