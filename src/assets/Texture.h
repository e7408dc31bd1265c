// A mesh's texture record, image files as mipmapped OpenGL textures, and the player's
// sampling settings.
#pragma once

#include <GL/glew.h>
#include <assimp/types.h>

#include <cstdint>
#include <string>

namespace varn::assets {

// One texture of a mesh; its name is shared by the mesh's copies like the mesh's buffers.
struct Texture {
  GLuint id = 0;
  std::string type;  // "texture_diffuse" or "texture_specular": also the sampler name's stem
  aiString path;     // file name exactly as the material gives it; the de-duplication key
};

// Loads directory + "/" + fileName as an RGB texture with a full mipmap chain and
// returns its name, left unbound. An image that cannot be decoded becomes a 1 x 1
// magenta placeholder, so a broken asset is visible but never fatal.
GLuint textureFromFile(const char* fileName, std::string directory);

// Sets the filters of the texture bound to GL_TEXTURE_2D on the active unit.
// textureFilterMode: 0 nearest, otherwise linear; mipmapMode: 0 off, 1 nearest, otherwise linear.
void applySampling(int32_t textureFilterMode, int32_t mipmapMode);

}  // namespace varn::assets
