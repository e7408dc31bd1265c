// The game's sound as a whole: started after the models, heard once a frame (the listener at
// the active camera, the saws at their enemies, the events read from the frame's state) and
// stopped after the OpenGL clean-up.
#pragma once

#include "app/Platform.h"

namespace varn::app {

// Opens the platform's sound output and loads the sounds; silent without a device.
void startSound(Platform& platform);
// Once a frame, after the world update and the draw.
void hearFrame();
// Releases every source and buffer and closes the device.
void stopSound();

}  // namespace varn::app
