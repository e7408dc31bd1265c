// The walking route through the brick factory, from the robot's start to the button room,
// as the keys held in each leg; shared by the level tests and the scripted play-throughs.
//
// Every leg lasts a whole number of 0.1 s frames (its 1/60 s frame count is a multiple
// of 6), so the same script can be played at both frame times. Most legs end against a
// wall, which lines the robot up whatever the frame time; the others are short.
#pragma once

#include <glm/glm.hpp>

namespace varn::test::route {

struct Leg {
  bool forward;   // W (-z)
  bool backward;  // S (+z)
  bool left;      // A (-x)
  bool right;     // D (+x)
  bool jump;      // Space, held for the whole leg: the robot jumps again on every landing
  int frames;     // at 1/60 s; divide by 6 for 0.1 s frames
  float floorY;   // world height of the floor the robot is over at the end of the leg
  const char* what;
};

constexpr int kFramesPerTenth = 6;  // 1/60 s frames in one 0.1 s frame

inline constexpr Leg kStartToButtonRoom[] = {
    {false, false, false, false, false, 30, -1.0f, "drop from the origin onto the start room's floor"},
    {true, false, false, false, false, 120, -1.0f, "north to the start room's north wall"},
    {false, false, false, true, false, 120, -1.0f, "east along it to the east wall, in front of the corridor"},
    {true, false, false, false, false, 192, -1.0f, "north through the corridor into the second room, to z = -17.5"},
    {false, false, false, true, true, 600, 3.0f, "east up the eight steps into the hall, to its east wall"},
    {true, false, false, false, false, 54, 3.0f, "north along the wall to the doorway at z = -20.5"},
    {false, false, false, true, true, 300, 4.0f, "east up two steps into the fourth room, to its east wall"},
    {true, false, false, false, true, 216, 6.0f, "north up the four steps into the button room"},
    {true, false, false, false, false, 120, 6.0f, "on to the button room's back wall, under the button"},
    {false, false, true, false, true, 180, 7.0f, "west along it, up onto the firing step, to the machine on it"},
    {false, true, false, false, false, 12, 7.0f, "back off from the wall to the shooting position"},
    {false, false, false, false, false, 60, 7.0f, "land and stand"},
};

// After the first kLegsToHallDoorway legs the robot stands in the hall beside the doorway
// east; from there these legs walk it off the hall's open north edge.
constexpr int kLegsToHallDoorway = 6;
inline constexpr Leg kHallToOpenEdge[] = {
    {false, false, true, false, false, 120, 3.0f, "west across the hall to x = 26.3"},
    {true, false, false, false, false, 240, -100.0f, "north over the open edge at z = -25, and down"},
};

// Where the robot stands (its position: the translation of its model matrix, at its feet)
// after kStartToButtonRoom: on the firing step west of the button, from where the player
// camera shows the whole button to the right of the robot. From anywhere within
// kShootingTolerance (in x and z) of it a shot fired from the shoulder (position + 1.5 in y)
// towards kButtonAimPoint meets the button's box, x 42.4..43.8, y 7.1..8.9 at z = -36.5,
// before any wall.
inline const glm::vec3 kShootingPosition{40.7f, 7.0f, -35.15f};
constexpr float kShootingTolerance = 0.4f;
// The middle of the button's box, at the height of the shoulder on the firing step.
inline const glm::vec3 kButtonAimPoint{43.1f, 8.5f, -36.5f};

// The robot falls out of the level (the game is lost) below this height of its lowest point.
constexpr float kFallOutY = -10.0f;

}  // namespace varn::test::route
