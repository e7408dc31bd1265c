// The game's window seen from outside, through xdotool under the test's X server: waiting
// for it, reading its title, and real key presses (which go to the focused window, so tests
// using them hold the x_input resource lock).
#pragma once

#include <string>
#include <vector>

#include "Process.h"

namespace varn::test {

// Waits until a visible window titled "Morrowgear..." exists (true) or 20 s have passed.
// Polled every few milliseconds: a test that quits the game races the enemies, which
// reach the robot left standing after about three seconds of play.
inline bool waitForGameWindow() {
  return pollFor(20.0, [] { return shell("xdotool search --onlyvisible --name '^Morrowgear' >/dev/null 2>&1") == 0; });
}

// The title once the game has drawn a frame (it opens titled just "Morrowgear" and adds
// the counts and frame time after its first frame); waits up to 20 s, then returns what is there.
inline std::string gameTitleAfterFirstFrame() {
  std::string title;
  pollFor(20.0, [&] {
    const std::vector<std::string> names = splitLines(
        Process({"/usr/bin/xdotool", "search", "--onlyvisible", "--name", "^Morrowgear", "getwindowname"}, "/")
            .finish(10.0)
            .out);
    title = names.empty() ? "" : names.front();
    return title.rfind("Morrowgear | ", 0) == 0;
  });
  return title;
}

// Holds a key down until the game shows it has seen it (done() holds) or the time runs
// out: a polling game sees a key only while it is down, however slow its frames are.
template <typename Done>
bool holdKeyUntil(const std::string& key, double seconds, Done done) {
  shell("xdotool keydown " + key);
  const bool seen = pollFor(seconds, done);
  shell("xdotool keyup " + key);
  return seen;
}

}  // namespace varn::test
