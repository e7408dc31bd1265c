// Releases what must go while the OpenGL context is still current.
#pragma once

namespace varn::app {

void cleanup();

}  // namespace varn::app
