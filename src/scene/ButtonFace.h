// Where the destruction button's face lies in the world: the fixed box the game culls and hits
// the button by, and the one the level's generator closes the button's niche down to.
#pragma once

namespace varn::scene {

// 1.4 x 1.8 units on the far wall of the last room, zero thickness.
inline constexpr double kButtonFaceX0 = 42.4;
inline constexpr double kButtonFaceX1 = 43.8;
inline constexpr double kButtonFaceY0 = 7.1;
inline constexpr double kButtonFaceY1 = 8.9;
inline constexpr double kButtonFaceZ = -36.5;

}  // namespace varn::scene
