// Image files as mipmapped OpenGL textures, and the player's sampling settings.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <string>

namespace varn::assets {

// Loads directory + "/" + fileName as an RGB texture with a full mipmap chain and
// returns its name, left unbound. An image that cannot be decoded becomes a 1 x 1
// magenta placeholder, so a broken asset is visible but never fatal.
GLuint textureFromFile(const char* fileName, std::string directory);

// Sets the filters of the texture bound to GL_TEXTURE_2D on the active unit.
// textureFilterMode: 0 nearest, otherwise linear; mipmapMode: 0 off, 1 nearest, otherwise linear.
void applySampling(int32_t textureFilterMode, int32_t mipmapMode);

}  // namespace varn::assets
