// Opening and closing the OpenAL device and its context, quietly.
#pragma once

#include <AL/alc.h>

#include "audio/Audio.h"

namespace varn::audio {

struct DeviceHandles {
  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
};

// A device with a current context, or both null when there is no sound output to be had.
DeviceHandles openDevice(const Output& output);
void closeDevice(DeviceHandles& handles);
// False once a device that was open has gone away (headphones unplugged).
bool deviceConnected(ALCdevice* device);

}  // namespace varn::audio
