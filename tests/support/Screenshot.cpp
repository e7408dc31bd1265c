// Back-buffer read-back, the picture probes, and the one stb_image_write instance of the test support.
#include "Screenshot.h"

#include <GL/glew.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

// stb picks each row's PNG filter; zlib at its strongest keeps committed pictures small.
unsigned char* zlibCompress(unsigned char* data, int size, int* outSize, int) {
  uLongf length = compressBound(static_cast<uLong>(size));
  auto* out = static_cast<unsigned char*>(std::malloc(length));
  if (out && compress2(out, &length, data, static_cast<uLong>(size), Z_BEST_COMPRESSION) != Z_OK) {
    std::free(out);
    return nullptr;
  }
  *outSize = static_cast<int>(length);
  return out;
}

}  // namespace

// A third-party single-file library: its own warnings are not ours to fix.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBIW_ZLIB_COMPRESS zlibCompress
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace varn::test {

std::vector<uint8_t> readBackBuffer(int width, int height) {
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  std::vector<uint8_t> bottomUp(rowBytes * static_cast<size_t>(height));
  GLint previousAlignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &previousAlignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
  glPixelStorei(GL_PACK_ALIGNMENT, previousAlignment);

  // OpenGL's first row is the bottom one; images start at the top.
  std::vector<uint8_t> topDown(bottomUp.size());
  for (int row = 0; row < height; ++row) {
    std::memcpy(topDown.data() + static_cast<size_t>(row) * rowBytes,
                bottomUp.data() + static_cast<size_t>(height - 1 - row) * rowBytes, rowBytes);
  }
  return topDown;
}

bool savePng(const std::string& path, int width, int height, int channels, const std::vector<uint8_t>& bytes) {
  if (width <= 0 || height <= 0 || bytes.size() != size_t(width) * size_t(height) * size_t(channels)) return false;
  std::error_code error;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, error);
  return stbi_write_png(path.c_str(), width, height, channels, bytes.data(), width * channels) != 0;
}

bool saveScreenshot(const std::string& path, int width, int height) {
  return savePng(path, width, height, 3, readBackBuffer(width, height));
}

glm::vec3 Picture::at(int x, int y) const {
  const uint8_t* p = &rgb[(static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 3];
  return glm::vec3(p[0], p[1], p[2]);
}

glm::vec3 Picture::patch(glm::vec2 centre, int radius) const {
  glm::vec3 sum(0.0f);
  int count = 0;
  for (int y = int(centre.y) - radius; y <= int(centre.y) + radius; ++y)
    for (int x = int(centre.x) - radius; x <= int(centre.x) + radius; ++x)
      if (contains(x, y)) sum += at(x, y), ++count;
  return count ? sum / float(count) : sum;
}

}  // namespace varn::test
