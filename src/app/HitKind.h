// What a bullet hit, as the rules record it for the particle step: the preset table is
// indexed by it, and the global explosionKind holds it as a 32-bit integer.
#pragma once

#include <cstdint>

namespace varn {

enum HitKind : int32_t {
  kHitLevel = 0,
  kHitEnemy = 1,
  kHitButton = 2,
  kHitKinds  // how many there are
};

}  // namespace varn
