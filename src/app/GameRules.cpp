// The rules that decide the game: enemies that reach the robot, bullet hits on the
// level, the enemies and the button, the fall out of the level, the end countdown
// and the lines the console shows once the window is gone.
#include "app/GameRules.h"

#include <cstddef>

#include "app/Console.h"
#include "app/Globals.h"
#include "app/HitKind.h"
#include "audio/Audio.h"

namespace varn::app {

namespace {

constexpr float kFallLimit = -10.0f;    // world y below which the robot is lost
constexpr float kWinEndSeconds = 4.0f;  // the factory's explosion plays out this long
constexpr float kLossEndSeconds = 1.0f;

void closeIn(scene::Enemy& enemy, bool destroyed) {
  if (destroyed) return;
  enemy.chase(character, levelMap);
  if (enemy.reaches(character)) {
    printLine("An enemy reached your position!");
    enemyReachedPlayer = true;
    gameLost = true;
  }
}

// Only one effect per frame: a later hit overwrites the request.
void requestExplosion(HitKind kind, const scene::Bullet& bullet) {
  explosionPending = true;
  explosionKind = kind;
  explosionPosition = (bullet.worldCornerA + bullet.worldCornerB) * 0.5f;
}

// Every hit is heard where it happened, even one whose effect a later hit replaces.
void hearHit(audio::Sound sound) { audio::play(sound, explosionPosition); }

bool hitsLivingEnemy(const scene::Bullet& bullet, scene::Enemy& enemy, bool& destroyed) {
  if (enemy.hitPoints <= 0 || !bullet.hitsEnemy(enemy)) return false;
  requestExplosion(kHitEnemy, bullet);
  if (enemy.hitPoints <= 0) destroyed = true;
  hearHit(destroyed ? audio::Sound::EnemyDestroyed : audio::Sound::HitEnemy);
  return true;
}

// True when the bullet is to go: the first rule that applies decides.
bool bulletEnds(const scene::Bullet& bullet) {
  if (bullet.hitsMap()) {
    requestExplosion(kHitLevel, bullet);
    hearHit(audio::Sound::HitLevel);
    return true;
  }
  if (hitsLivingEnemy(bullet, enemy1, enemy1Destroyed)) return true;
  if (hitsLivingEnemy(bullet, enemy2, enemy2Destroyed)) return true;
  if (bullet.hitsButton()) {
    requestExplosion(kHitButton, bullet);
    hearHit(audio::Sound::Explosion);
    gameWon = true;
    return true;
  }
  // Once anything has been hit this frame, every later bullet that hit nothing goes too.
  return explosionPending || bullet.lifetime <= 0.0f;
}

}  // namespace

void enemiesCloseIn() {
  if (enemyReachedPlayer) return;
  // Both are handled even when the first has just reached the robot.
  closeIn(enemy1, enemy1Destroyed);
  closeIn(enemy2, enemy2Destroyed);
}

void bulletHits() {
  // By index, with the length read afresh: a removal closes the gap, and the bullet
  // that moves up into this index is examined next, so each is examined once.
  std::size_t index = 0;
  while (index < bullets.size()) {
    // Owners emptied by cleanup hold nothing to examine.
    if (bullets[index] && bulletEnds(*bullets[index])) {
      bullets.erase(bullets.begin() + static_cast<std::ptrdiff_t>(index));
    } else {
      ++index;
    }
  }
}

void outcomeBookkeeping() {
  if (character.worldCornerA.y < kFallLimit) gameLost = true;
  // The countdown keeps the length it was given first: a win before a loss keeps 4 s.
  if (gameWon && endDelay == 0.0f) endDelay = kWinEndSeconds;
  if (gameLost && endDelay == 0.0f) endDelay = kLossEndSeconds;
  if (gameWon || gameLost) {
    endDelay -= deltaTime;
    // A countdown that lands exactly on 0 has run out too; otherwise the next frame
    // would take the 0 for "not started" and begin it all over again.
    if (endDelay <= 0.0f) quitRequested = true;
  }
}

void printOutcome() {
  // A win counts over a loss that came with or after it.
  if (gameWon) {
    printLine("BOOOOOOOOM!");
    printLine("You have destroyed the factory and stopped the evil robot invasion!");
    printLine("Thanks a lot! You are a hero!");
    consolePause();
  } else if (gameLost) {
    printLine("You lost!");
    printLine("Please try again!");
    consolePause();
  }
}

}  // namespace varn::app
