// Reading one sound file into an OpenAL buffer through libsndfile.
#pragma once

#include <AL/al.h>

#include <string>

namespace varn::audio {

// A new buffer holding the file's samples, or 0 with one line on standard error naming the
// file when it is missing, not a regular file, unreadable or not mono 16-bit-decodable sound.
ALuint loadSoundFile(const std::string& path);

}  // namespace varn::audio
