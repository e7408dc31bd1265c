// The walking route through the brick factory, from the robot's start to the firing step
// in the button room, as the keys held in each leg; shared by the play-throughs, the
// reference pictures and the timedemo, with where the robot stands at the end of each leg.
// Most legs end against a wall, which lines the robot up; the others are short.
#pragma once

#include <glm/glm.hpp>

namespace varn::test::route {

struct Leg {
  bool forward;   // W (-z)
  bool backward;  // S (+z)
  bool left;      // A (-x)
  bool right;     // D (+x)
  bool jump;      // Space, held for the whole leg: the robot jumps again on every landing
  int frames;     // at 1/60 s
  const char* what;
  glm::vec3 end;  // where the robot stands in the leg's last frame
};

// How far from a leg's end the robot may stand: a little in x and z, where the legs end
// against walls, more in y, where a leg that jumps may end in the air.
inline constexpr float kHorizontalTolerance = 0.5f;
inline constexpr float kHeightTolerance = 2.0f;
// The winning shot reaches the button well within this.
inline constexpr float kWinSeconds = 1.0f;

inline constexpr Leg kStartToButtonRoom[] = {
    {false, false, false, false, false, 30, "drop from the origin onto the start room's floor",
     {0.0f, -1.0f, 0.0f}},
    {true, false, false, false, false, 120, "north to the start room's north wall",
     {0.0f, -1.0f, -6.36f}},
    {false, false, false, true, false, 120, "east along it to the east wall, in front of the corridor",
     {4.78f, -1.0f, -6.36f}},
    {true, false, false, false, false, 192, "north through the corridor into the second room, to z = -17.5",
     {4.78f, -1.0f, -17.56f}},
    {false, false, false, true, true, 600, "east up the eight steps into the hall, to its east wall",
     {33.31f, 3.48f, -17.56f}},
    {true, false, false, false, false, 54, "north along the wall to the doorway at z = -20.5",
     {33.31f, 3.04f, -20.71f}},
    {false, false, false, true, true, 300, "east up two steps into the fourth room, to its east wall",
     {43.28f, 5.02f, -20.71f}},
    {true, false, false, false, true, 216, "north up the four steps into the button room",
     {43.28f, 7.21f, -33.31f}},
    {true, false, false, false, false, 120, "on to the button room's back wall, under the button",
     {43.28f, 6.0f, -35.88f}},
    {false, false, true, false, true, 180, "west along it, up onto the firing step, to the machine on it",
     {40.72f, 8.05f, -35.88f}},
    {false, true, false, false, false, 12, "back off from the wall to the shooting position",
     {40.72f, 8.23f, -35.18f}},
    {false, false, false, false, false, 60, "land and stand",
     {40.72f, 7.0f, -35.18f}},
};

// Where the robot stands (its position: the translation of its model matrix, at its feet)
// after kStartToButtonRoom: on the firing step west of the button, from where the player
// camera shows the whole button to the right of the robot. From anywhere within
// 0.4 (in x and z) of it a shot fired from the shoulder (position + 1.5 in y)
// towards kButtonAimPoint meets the button's box, x 42.4..43.8, y 7.1..8.9 at z = -36.5,
// before any wall.
inline const glm::vec3 kShootingPosition{40.7f, 7.0f, -35.15f};
// The middle of the button's box, at the height of the shoulder on the firing step.
inline const glm::vec3 kButtonAimPoint{43.1f, 8.5f, -36.5f};

}  // namespace varn::test::route
