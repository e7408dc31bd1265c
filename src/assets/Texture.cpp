// Model textures: checked and decoded by SOIL, uploaded as RGB with a full mipmap chain.
#include "assets/Texture.h"

#include <SOIL.h>

#include "assets/ImageFile.h"

namespace varn::assets {

namespace {

// Shown in place of an image that cannot be decoded, so the fault is visible.
constexpr unsigned char kPlaceholderTexel[3] = {255, 0, 255};

}  // namespace

GLuint textureFromFile(const char* fileName, std::string directory) {
  const std::string fullPath = directory + "/" + fileName;
  GLuint name = 0;
  glGenTextures(1, &name);

  // An image larger than the GPU takes would leave an incomplete (black) texture.
  GLint maxSide = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
  const DecodedImage image = loadImage(fullPath, SOIL_LOAD_RGB, maxSide);

  glBindTexture(GL_TEXTURE_2D, name);
  // RGB rows are tightly packed: a row whose length is not a multiple of 4 bytes
  // would be sheared under the default alignment of 4.
  GLint savedAlignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &savedAlignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (image) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, image.width(), image.height(), 0, GL_RGB, GL_UNSIGNED_BYTE, image.pixels());
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, kPlaceholderTexel);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, savedAlignment);
  glGenerateMipmap(GL_TEXTURE_2D);

  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glBindTexture(GL_TEXTURE_2D, 0);
  return name;
}

void applySampling(int32_t textureFilterMode, int32_t mipmapMode) {
  const bool nearest = textureFilterMode == 0;
  GLint minFilter = 0;
  if (mipmapMode == 0) {
    minFilter = nearest ? GL_NEAREST : GL_LINEAR;
  } else if (mipmapMode == 1) {
    minFilter = nearest ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_NEAREST;
  } else {
    minFilter = nearest ? GL_NEAREST_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_LINEAR;
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, nearest ? GL_NEAREST : GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
}

}  // namespace varn::assets
