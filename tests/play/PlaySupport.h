// Running the whole game in this process with a scripted player, and reading what
// happened frame by frame: positions, effects, counters, screenshots and GL errors.
#pragma once

#include <functional>
#include <glm/glm.hpp>
#include <string>
#include <vector>

#include "Screenshot.h"
#include "app/ScriptedPlatform.h"

namespace varn::play {

using test::Picture;

// What one frame looked like once it was drawn.
struct FrameRecord {
  int frame = 0;
  glm::vec3 robotPosition{0.0f};
  int newEffectKind = -1;  // kind of the effect started in this frame, or -1
};

struct PlayResult {
  int exitStatus = -1;
  std::string out;  // everything the game printed on standard output
  std::vector<FrameRecord> frames;
  unsigned firstGlError = 0;
  int firstGlErrorFrame = -1;

  bool endsWith(const std::string& text) const {
    return out.size() >= text.size() && out.compare(out.size() - text.size(), text.size(), text) == 0;
  }
};

// Runs the game (no arguments: 800 x 600) with the script; onFrame runs after each
// frame is drawn and before the swap, with the game's state as the frame left it.
// The first and the last frame are saved as play-<name>-start.png and play-<name>-end.png.
PlayResult play(const std::string& name, app::ScriptedPlatform& platform,
                const std::function<void(const FrameRecord&)>& onFrame = {});
// Exit status 0, and glGetError was GL_NO_ERROR after every frame.
void expectCleanRun(const PlayResult& result);

// Moves the cursor onto the window pixel where the active camera shows worldPoint.
void aimAt(app::ScriptedPlatform& platform, glm::vec3 worldPoint);
// Saves the back buffer under the build's artifact folder as play-<name>.png.
void screenshot(const std::string& name);

constexpr int kFramesPerSecond = 60;

}  // namespace varn::play
