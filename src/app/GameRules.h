// The rules that decide the game: enemies reaching the robot, bullet hits, the fall,
// the end countdown and the final lines.
#pragma once

namespace varn::app {

void enemiesCloseIn();      // chase, and the loss when an enemy touches the robot
void bulletHits();          // the bullet walk with its removal rules
void outcomeBookkeeping();  // fall test and end countdown, after the swap
// The outcome lines after shutdown, and the console pause after a win or a loss.
void printOutcome();

}  // namespace varn::app
