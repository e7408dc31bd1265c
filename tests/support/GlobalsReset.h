// Puts every global of the game's main module back to the value the game starts from,
// so tests that touch the shared state do not leak into each other.
#pragma once

namespace varn::test {

void resetGlobals();

}  // namespace varn::test
