// Morrowgear: steer the robot, shoot the saw robots, destroy the factory.
#include "app/Game.h"
#include "app/GlfwPlatform.h"

int main(int argc, char** argv) {
  varn::app::GlfwPlatform platform;
  return varn::app::runGame(argc, argv, platform);
}
