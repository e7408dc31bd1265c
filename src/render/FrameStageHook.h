// A seam for profiling tools: the stretches of a frame, and a hook called around each.
// The game never sets the hook; the timedemo does, to time the passes one by one.
#pragma once

namespace varn::render {

// The stretches of one frame, in the order draw runs them.
enum class FrameStage { Shadow, Textured, Silhouette, Cel, Transparency, Particles };
constexpr int kFrameStageCount = 6;

// Called with starting = true just before a stage and with false just after it; null
// (nothing called) unless a profiling tool sets it.
using FrameStageHook = void (*)(FrameStage stage, bool starting);
extern FrameStageHook frameStageHook;

}  // namespace varn::render
