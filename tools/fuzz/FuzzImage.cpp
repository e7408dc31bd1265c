// libFuzzer target: an image file through the header check and SOIL's decode, as a model
// texture (three channels) and as the cursor (four) take it before upload.
#include <SOIL.h>

#include "FuzzInput.h"
#include "assets/ImageFile.h"

namespace {

// GL_MAX_TEXTURE_SIZE of the software renderer the game runs on here.
constexpr int kMaxSide = 16384;

// Reads the last byte the upload would read, so that a short pixel buffer shows.
void touchLastPixel(const varn::assets::DecodedImage& image, size_t channels) {
  if (!image) return;
  volatile unsigned char last = image.pixels()[size_t(image.width()) * size_t(image.height()) * channels - 1];
  (void)last;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = varn::fuzz::writeScratch("input", data, size);
  touchLastPixel(varn::assets::loadImage(path, SOIL_LOAD_RGB, kMaxSide), 3);
  touchLastPixel(varn::assets::loadImage(path, SOIL_LOAD_RGBA, kMaxSide), 4);
  return 0;
}
