// The frame's one pass of the scene objects' own updates, after the controls and the
// rules have run and before the frame is drawn.
#include "app/WorldUpdate.h"

#include "app/Globals.h"

namespace varn::app {

void updateWorld(double deltaTime) {
  character.update(deltaTime);
  // Spent bullets fly on here; only the bullet rules remove them.
  for (const std::unique_ptr<scene::Bullet>& bullet : bullets) {
    if (bullet) static_cast<scene::SceneObject&>(*bullet).update(deltaTime);
  }
  // Once one enemy has reached the robot, both stand still for the rest of the game.
  if (enemyReachedPlayer) return;
  if (!enemy1Destroyed) enemy1.update(deltaTime);
  if (!enemy2Destroyed) enemy2.update(deltaTime);
}

}  // namespace varn::app
