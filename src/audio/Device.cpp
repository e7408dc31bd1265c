// The device. With no sound card ALSA and OpenAL Soft both write to standard error by
// default; the game plays silent without a word instead, so their messages are turned off
// here, unless the player asked for OpenAL Soft's log in the environment.
#include "audio/Device.h"

#include <AL/alext.h>
#include <alsa/asoundlib.h>

#include <cstdlib>

namespace varn::audio {

namespace {

void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

void quietLibraries() {
  setenv("ALSOFT_LOGLEVEL", "0", 0);  // 0: only if the player set none
  snd_lib_error_set_handler(ignoreAlsaMessage);
}

ALCdevice* openLoopback(int sampleRate, ALCint (&attributes)[7]) {
  if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return nullptr;
  auto openLoopbackDevice =
      reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  if (openLoopbackDevice == nullptr) return nullptr;
  const ALCint wanted[7] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                            ALC_FREQUENCY, sampleRate, 0};
  for (int i = 0; i < 7; ++i) attributes[i] = wanted[i];
  return openLoopbackDevice(nullptr);
}

}  // namespace

DeviceHandles openDevice(const Output& output) {
  quietLibraries();
  DeviceHandles handles;
  ALCint loopbackAttributes[7] = {0};
  handles.device = output.loopback ? openLoopback(output.sampleRate, loopbackAttributes) : alcOpenDevice(nullptr);
  if (handles.device == nullptr) return handles;
  handles.context = alcCreateContext(handles.device, output.loopback ? loopbackAttributes : nullptr);
  if (handles.context == nullptr || !alcMakeContextCurrent(handles.context)) closeDevice(handles);
  return handles;
}

void closeDevice(DeviceHandles& handles) {
  alcMakeContextCurrent(nullptr);
  if (handles.context != nullptr) alcDestroyContext(handles.context);
  if (handles.device != nullptr) alcCloseDevice(handles.device);
  handles = DeviceHandles{};
}

bool deviceConnected(ALCdevice* device) {
  if (!alcIsExtensionPresent(device, "ALC_EXT_disconnect")) return true;
  ALCint connected = ALC_TRUE;
  alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
  return connected == ALC_TRUE;
}

}  // namespace varn::audio
