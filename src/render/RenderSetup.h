// One-time render set-up: cursor, shadow framebuffer, programs, lights, cameras, models, scene.
#pragma once

struct GLFWwindow;

namespace varn::render {

void init(GLFWwindow* window);

}  // namespace varn::render
