// The four colour passes into the window: textured, silhouette, cel, transparency.
#pragma once

#include "render/FrameRenderer.h"

namespace varn::render {

void texturedPass(const FrameValues& frame);
void silhouettePass();
void celPass(const FrameValues& frame);
void transparencyPass();

}  // namespace varn::render
