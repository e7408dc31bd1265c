// The whole program behind main: start-up, the main loop, shutdown and the outcome lines.
#pragma once

#include "app/Platform.h"

namespace varn::app {

// Returns the process exit status; a failed start ends the process with status 1.
int runGame(int argc, const char* const* argv, Platform& platform);

}  // namespace varn::app
