// One-time render set-up: cursor, shadow framebuffer, programs, lights, cameras, models, scene.
#pragma once

struct GLFWwindow;

namespace varn::render {

void init(GLFWwindow* window);

// Sets the window's cursor from an image file, hot spot at its centre. Prints the
// game's error line and keeps the system cursor when the image or the cursor fails.
bool loadCustomCursor(GLFWwindow* window, const char* imagePath);

}  // namespace varn::render
