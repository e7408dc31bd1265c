// Reading the game's mix as the loopback device rendered it, frame by frame: levels, the
// loudest sample, and the checks the sound play-throughs share.
#pragma once

#include <cstddef>
#include <vector>

#include "PlaySupport.h"

namespace varn::play {

// Interleaved left, right samples of each frame played, one entry per frame.
using Mix = std::vector<std::vector<float>>;

// False where OpenAL Soft offers no loopback device; the sound checks are then skipped.
bool loopbackAvailable();
float loudest(const std::vector<float>& samples);
// The loudest sample of frames [from, to).
float loudestOf(const Mix& mix, size_t from, size_t to);
// Root mean square of one channel (0 left, 1 right) over frames [from, to).
double channelLevel(const Mix& mix, size_t from, size_t to, size_t channel);
// Every frame played holds exactly one frame time (1/60 s at 48 kHz) of stereo samples.
void expectOneFrameOfSamplesPerFrame(const Mix& mix, const PlayResult& result);
// The button's explosion heard from the frame of the winning hit for the rest of the play,
// and nothing of the whole play's mix at or beyond full scale.
void expectTheWinHeard(const Mix& mix, int winFrame);

}  // namespace varn::play
