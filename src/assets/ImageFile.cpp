// Reading an image's size from its header, and decoding it with SOIL only when that
// size is sane. The format is told from the content, as SOIL does, not from the name.
#include "assets/ImageFile.h"

#include <SOIL.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

#include "assets/RegularFile.h"

namespace varn::assets {

namespace {

// Width and height in pixels, as an image's header states them.
struct ImageSize {
  int width = 0;
  int height = 0;
};

// A header's bytes; reads past the end give 0, so a short file fails the checks below.
class HeaderBytes {
 public:
  explicit HeaderBytes(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}
  size_t size() const { return bytes_.size(); }
  unsigned at(size_t i) const { return i < bytes_.size() ? bytes_[i] : 0u; }
  uint32_t bigEndian16(size_t i) const { return (at(i) << 8) | at(i + 1); }
  uint32_t bigEndian32(size_t i) const { return (bigEndian16(i) << 16) | bigEndian16(i + 2); }
  uint32_t littleEndian16(size_t i) const { return at(i) | (at(i + 1) << 8); }
  uint32_t littleEndian32(size_t i) const { return littleEndian16(i) | (littleEndian16(i + 2) << 16); }
  bool startsWith(const char* magic) const {
    const size_t length = std::strlen(magic);
    return bytes_.size() >= length && std::memcmp(bytes_.data(), magic, length) == 0;
  }
  const std::vector<unsigned char>& bytes() const { return bytes_; }

 private:
  std::vector<unsigned char> bytes_;
};

// Enough for every header but a JPEG's, whose frame header may follow metadata segments of
// any size (a large EXIF block, an embedded thumbnail): those are walked in the file itself.
constexpr size_t kHeaderBytesRead = 256 * 1024;

std::optional<ImageSize> sizeIfPositive(uint64_t width, uint64_t height) {
  if (width == 0 || height == 0 || width > INT_MAX || height > INT_MAX) return std::nullopt;
  return ImageSize{static_cast<int>(width), static_cast<int>(height)};
}

std::optional<ImageSize> pngSize(const HeaderBytes& h) {
  if (h.size() < 24 || std::memcmp(h.bytes().data() + 12, "IHDR", 4) != 0) return std::nullopt;
  return sizeIfPositive(h.bigEndian32(16), h.bigEndian32(20));
}

// The bytes of file from offset on, as many as there are up to count.
HeaderBytes bytesAt(std::istream& file, uint64_t offset, size_t count) {
  std::vector<unsigned char> bytes(count);
  file.clear();
  file.seekg(static_cast<std::streamoff>(offset));
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
  bytes.resize(file ? count : static_cast<size_t>(std::max<std::streamsize>(file.gcount(), 0)));
  return HeaderBytes(std::move(bytes));
}

// Walks the marker segments up to the first start-of-frame, which holds the size, reading
// each marker where the lengths before it say it is. Every step moves forward, so the walk
// ends at the end of the file whatever the lengths claim.
std::optional<ImageSize> jpegSize(std::istream& file) {
  uint64_t at = 2;
  for (;;) {
    const HeaderBytes h = bytesAt(file, at, 9);
    if (h.size() < 4 || h.at(0) != 0xFF) return std::nullopt;
    const unsigned marker = h.at(1);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // image data before any frame
    const bool startOfFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (startOfFrame) return h.size() < 9 ? std::nullopt : sizeIfPositive(h.bigEndian16(7), h.bigEndian16(5));
    const uint32_t length = h.bigEndian16(2);
    if (length < 2) return std::nullopt;
    at += 2 + length;
  }
}

std::optional<ImageSize> bmpSize(const HeaderBytes& h) {
  const uint32_t infoSize = h.littleEndian32(14);
  if (infoSize == 12) return sizeIfPositive(h.littleEndian16(18), h.littleEndian16(20));
  if (infoSize < 40 || h.size() < 26) return std::nullopt;
  // A negative height marks rows stored from the top down.
  const auto height = static_cast<int32_t>(h.littleEndian32(22));
  const uint64_t rows = height < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(height)) : uint64_t(height);
  return sizeIfPositive(h.littleEndian32(18), rows);
}

std::optional<ImageSize> psdSize(const HeaderBytes& h) {
  if (h.size() < 26 || h.bigEndian16(4) != 1) return std::nullopt;
  return sizeIfPositive(h.bigEndian32(18), h.bigEndian32(14));
}

std::optional<ImageSize> ddsSize(const HeaderBytes& h) {
  if (h.size() < 128 || h.littleEndian32(4) != 124) return std::nullopt;
  return sizeIfPositive(h.littleEndian32(16), h.littleEndian32(12));
}

// Radiance: a "#?" signature line, header lines, an empty line, then "-Y height +X width".
std::optional<ImageSize> hdrSize(const HeaderBytes& h) {
  const std::string text(h.bytes().begin(), h.bytes().end());
  const size_t blank = text.find("\n\n");
  if (blank == std::string::npos) return std::nullopt;
  long long height = 0;
  long long width = 0;
  if (std::sscanf(text.c_str() + blank + 2, "-Y %lld +X %lld", &height, &width) != 2) return std::nullopt;
  if (height <= 0 || width <= 0) return std::nullopt;
  return sizeIfPositive(static_cast<uint64_t>(width), static_cast<uint64_t>(height));
}

// TGA has no signature; these are the header values a decodable TGA can have. SOIL's
// decoder trusts the header, and spends seconds on a few hundred bytes that claim a large
// image, so the pixel data the header promises must also fit in the file: uncompressed, every
// pixel's bytes; run-length encoded, at least one packet (a count byte and a pixel) for
// every 128 pixels.
std::optional<ImageSize> tgaSize(const HeaderBytes& h, uint64_t fileSize) {
  if (h.size() < 18) return std::nullopt;
  const unsigned idLength = h.at(0);
  const unsigned colourMapType = h.at(1);
  const unsigned imageType = h.at(2);
  const unsigned bitsPerPixel = h.at(16);
  const bool knownType =
      imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 || imageType == 10 || imageType == 11;
  const bool knownDepth =
      bitsPerPixel == 8 || bitsPerPixel == 15 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
  const bool colourMapped = imageType == 1 || imageType == 9;
  if (colourMapType > 1 || !knownType || !knownDepth || colourMapped != (colourMapType == 1)) return std::nullopt;
  const uint64_t width = h.littleEndian16(12);
  const uint64_t height = h.littleEndian16(14);
  const uint64_t pixelBytes = (bitsPerPixel + 7) / 8;
  const uint64_t mapBytes = colourMapType == 1 ? h.littleEndian16(5) * ((h.at(7) + 7u) / 8u) : 0;
  const uint64_t pixels = width * height;
  const uint64_t leastData = imageType >= 9 ? (pixels + 127) / 128 * (1 + pixelBytes) : pixels * pixelBytes;
  if (18 + idLength + mapBytes + leastData > fileSize) return std::nullopt;
  return sizeIfPositive(width, height);
}

// The size from the header of a PNG, JPEG, BMP, TGA, PSD, Radiance HDR or DDS file (the
// formats SOIL decodes). Nothing when path is not a regular file or its header is none of
// these or is cut short.
std::optional<ImageSize> readImageSize(const std::string& path) {
  if (!isRegularFile(path)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  const HeaderBytes header = bytesAt(file, 0, kHeaderBytesRead);
  file.clear();
  file.seekg(0, std::ios::end);
  const auto fileSize = static_cast<uint64_t>(std::max<std::streamoff>(file.tellg(), 0));

  if (header.startsWith("\x89PNG\r\n\x1a\n")) return pngSize(header);
  if (header.startsWith("\xFF\xD8")) return jpegSize(file);
  if (header.startsWith("BM")) return bmpSize(header);
  if (header.startsWith("8BPS")) return psdSize(header);
  if (header.startsWith("DDS ")) return ddsSize(header);
  if (header.startsWith("#?")) return hdrSize(header);
  return tgaSize(header, fileSize);
}

}  // namespace

DecodedImage::DecodedImage(DecodedImage&& other) noexcept
    : pixels_(std::exchange(other.pixels_, nullptr)), width_(other.width_), height_(other.height_) {}

DecodedImage& DecodedImage::operator=(DecodedImage&& other) noexcept {
  if (this != &other) {
    if (pixels_ != nullptr) SOIL_free_image_data(pixels_);
    pixels_ = std::exchange(other.pixels_, nullptr);
    width_ = other.width_;
    height_ = other.height_;
  }
  return *this;
}

DecodedImage::~DecodedImage() {
  if (pixels_ != nullptr) SOIL_free_image_data(pixels_);
}

DecodedImage loadImage(const std::string& path, int forcedChannels, int maxSide) {
  const std::optional<ImageSize> size = readImageSize(path);
  if (!size || size->width > maxSide || size->height > maxSide) return {};
  int width = 0;
  int height = 0;
  // SOIL writes the file's own channel count here; some of its decoders crash without it.
  int fileChannels = 0;
  unsigned char* pixels = SOIL_load_image(path.c_str(), &width, &height, &fileChannels, forcedChannels);
  DecodedImage image(pixels, width, height);
  if (!image || width <= 0 || height <= 0 || width > maxSide || height > maxSide) return {};
  return image;
}

}  // namespace varn::assets
