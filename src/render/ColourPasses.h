// The four colour passes into the window: textured, silhouette, cel, transparency.
#pragma once

#include <cstddef>
#include <glm/glm.hpp>
#include <vector>

#include "render/FrameValues.h"

namespace varn::render {

// The level's meshes in the order the textured pass draws them, their boxes in the world,
// and which of them it drew: the textured pass fills it, the cel pass reads it. The caller
// may keep one between frames so that the lists keep their memory.
struct LevelDraws {
  std::vector<size_t> order;
  std::vector<glm::vec3> cornerA, cornerB;
  std::vector<float> distance;
  std::vector<bool> drawn;
};

void texturedPass(const FrameValues& frame, LevelDraws& levelDraws);
void silhouettePass();
void celPass(const FrameValues& frame, const LevelDraws& levelDraws);
void transparencyPass();

}  // namespace varn::render
