// The shadow pass's cache of the level's depth: the level and its lights never move, so
// the level is drawn into the shadow map only when what it depends on changes, and each
// frame gives the map back the level's depth where last frame's moving casters were.
#pragma once

#include <GL/glew.h>

#include <glm/glm.hpp>

#include "assets/Model.h"

namespace varn::render {

// The shadow map that the cache keeps the level's depth in (0 until the first frame).
extern GLuint shadowCacheTexture;
// Off, every frame draws the whole level into the map again (the profiling tools and the
// tests compare the two).
extern bool shadowCacheOn;

// Fills the bound shadow map for the light seen through lightMatrix (projection x view):
// the level's depth, from the cache where it is still valid, and the moving casters over
// it. The caller has set up the depth program, viewport and state.
void drawShadowCasters(const glm::mat4& lightMatrix, const glm::vec3& lightPosition);

// Releases the cache's texture; the next frame draws the level again. Needs the context.
void releaseShadowCache();

}  // namespace varn::render
