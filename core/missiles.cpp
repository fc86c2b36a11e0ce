// The missile pass: spawn, move, side-edge jump, then ground impact or drawing, slot by slot.
#include "core/missiles.h"

#include "core/alphabet.h"
#include "core/effects.h"
#include "core/events.h"
#include "core/game.h"
#include "core/random.h"
#include "core/records.h"
#include "render/draw.h"

namespace {

// At most 2, 5, 10 or 17 missiles may live for a spawn at levels 1 to 4; level 5 has no cap.
bool LevelAllowsSpawn() {
  const GameState& g = gameState;
  return g.level >= 5 || g.level * g.level + 1 >= g.liveMissiles + g.liveMirvs;
}

// x in 50..fieldWidth-51. A width of exactly 100 would divide by zero; the draw is still
// made, so the generator stays in step, and the missile starts at x 50. Below 100 the
// remainder by a negative divisor is well defined and kept.
double SpawnX() {
  const int32_t r = NextRandom();
  const int32_t span = fieldGeometry.fieldWidth - 100;
  return span == 0 ? 50.0 : static_cast<double>(r % span + 50);
}

// One draw for every idle slot on every tick, then the spawn tests in order.
// Returns true when the slot now holds a new missile.
bool TrySpawn(int32_t i) {
  const int32_t r = NextRandom();
  if (r % 200 != 0) return false;
  const GameState& g = gameState;
  if (3 * g.liveMirvs + g.liveMissiles >= g.missileCapacity - 4) return false;
  if (!SlotEnabled(i)) return false;
  if (!LevelAllowsSpawn()) return false;

  MissileSlot& m = missileSlots[i];
  m.x = SpawnX();
  m.y = fieldGeometry.fieldTop;
  m.dx = (NextRandom() % 30) / 10 - 1;
  m.dy = (NextRandom() % (g.score + 1)) / 1000 + 1;
  if (m.dy > 5.0) m.dy = 5.0;
  if (g.mirvOn != 0 && NextRandom() % (2000 / (g.score + 1) + 2) == 0) {
    m.state = Mirv;
    gameState.liveMirvs += 1;
  } else {
    m.state = Falling;
    gameState.liveMissiles += 1;
  }
  NoteGameEvent(GameEvent::kSpawn, i);
  return true;
}

// A centre past either side edge is erased there and carried to the other edge.
void JumpSideEdges(MissileSlot& m) {
  if (m.x >= fieldGeometry.fieldLeft && m.x <= fieldGeometry.fieldRight) return;
  EraseCell(m.x, m.y);
  m.x = m.x >= fieldGeometry.fieldLeft ? fieldGeometry.fieldLeft : fieldGeometry.fieldRight;
}

// At the ground an explosion just vanishes; a missile ends the game. EndGame clears every
// slot, and the pass carries on over the cleared slots.
void ReachGround(MissileSlot& m, int32_t i) {
  EraseCell(m.x, m.y);
  if (m.state == Mirv) {
    gameState.liveMirvs -= 1;
  } else {
    gameState.liveMissiles -= 1;
  }
  if (m.state >= ExplodingFirst) {
    m.state = Idle;
    return;
  }
  NoteGameEvent(GameEvent::kGround, i);
  PlayEffect(SoundEffect::kGameOver);
  DrawImpactEffect(m.x, fieldGeometry);
  EndGame();
  m.state = Idle;
}

// Above the ground: the sprite, or the next explosion frame; the last frame is drawn and
// erased in the same visit.
void DrawMissile(MissileSlot& m, int32_t i) {
  if (m.state < ExplodingFirst) {
    DrawMissileSprite(m.x, m.y, i, m.state);
    return;
  }
  DrawExplosionFrame(m.x, m.y, m.state - ExplodingFirst);
  m.state += 1;
  if (m.state >= ExplodingEnd) {
    m.state = Idle;
    gameState.liveMissiles -= 1;
    EraseCell(m.x, m.y);
  }
}

}  // namespace

void UpdateMissiles() {
  for (int32_t i = 0; i < kSlotCount; ++i) {
    MissileSlot& m = missileSlots[i];
    if (m.state == Idle && !TrySpawn(i)) continue;
    m.x = m.x + m.dx;
    m.y = m.y + m.dy;
    JumpSideEdges(m);
    if (m.y >= fieldGeometry.groundY - 16) {
      ReachGround(m, i);
    } else {
      DrawMissile(m, i);
    }
  }
}
