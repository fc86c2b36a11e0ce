// Game control: ticks, typed characters, the flush, start, pause, the end of a game.
#include "core/game.h"

#include "core/alphabet.h"
#include "core/effects.h"
#include "core/events.h"
#include "core/interceptors.h"
#include "core/menu_state.h"
#include "core/missiles.h"
#include "core/records.h"
#include "render/draw.h"

namespace {

constexpr uint32_t kSpace = 0x20;
constexpr int32_t kMissesToLose = 10;
constexpr int32_t kFlushesPerGame = 3;

bool IsTarget(const MissileSlot& m) {
  return m.state == Falling || m.state == Mirv;
}

// The demonstration shoots at every missile that has no interceptor yet.
void LaunchAtEveryTarget() {
  for (int32_t i = 0; i < kSlotCount; ++i) {
    if (interceptorSlots[i].active == 0 && IsTarget(missileSlots[i])) LaunchInterceptor(i);
  }
}

void CountMiss(uint32_t slot) {
  NoteGameEvent(GameEvent::kMiss, static_cast<int32_t>(slot));
  PlayEffect(SoundEffect::kMiss);
  gameState.misses += 1;
  DrawStatusBar(gameState, fieldGeometry);
  if (gameState.misses >= kMissesToLose) EndGame();
}

// Every missile on the field becomes an explosion (a Mirv without splitting), for no points,
// and every interceptor is erased where it last stood and grounded.
void Flush() {
  PlayEffect(SoundEffect::kFlush);
  gameState.flushesLeft -= 1;
  for (int32_t i = 0; i < kSlotCount; ++i) {
    MissileSlot& m = missileSlots[i];
    if (m.state == Mirv) {
      gameState.liveMirvs -= 1;
      gameState.liveMissiles += 1;
      m.state = ExplodingFirst;
    } else if (m.state == Falling) {
      m.state = ExplodingFirst;
    }
    InterceptorSlot& in = interceptorSlots[i];
    EraseInterceptor(in.x, in.y);
    in.active = 0;
  }
  DrawStatusBar(gameState, fieldGeometry);
}

}  // namespace

void OnTick() {
  if (gameState.paused != 0) return;
  UpdateMissiles();
  UpdateInterceptors();
  if (gameState.gameOver != 0) LaunchAtEveryTarget();
}

// Characters outside the alphabet, the space included, act on the slot of "A" first.
void OnChar(uint32_t code) {
  if (gameState.paused != 0) return;
  const uint32_t slot = SlotForChar(code);
  if (interceptorSlots[slot].active == 0) {
    if (IsTarget(missileSlots[slot])) {
      LaunchInterceptor(static_cast<int32_t>(slot));
    } else {
      CountMiss(slot);
    }
  }
  if (code == kSpace && gameState.flushesLeft >= 1) Flush();
}

bool GameRunning() {
  return gameState.gameOver == 0;
}

void StartGame() {
  gameState.paused = 0;
  gameState.gameOver = 0;
  PlayEffect(SoundEffect::kStart);
  gameState.misses = 0;
  gameState.flushesLeft = kFlushesPerGame;
  gameState.score = 0;
  ClearField();
}

void TogglePause() {
  gameState.paused = gameState.paused == 0 ? 1 : 0;
}

// Only a running game's score can enter the table; an equal score changes nothing.
void EndGame() {
  HighScoreEntry& entry = gameState.highScoreTable[gameState.level - 1];
  if (gameState.gameOver == 0 && gameState.score > entry.best) entry.best = gameState.score;
  gameState.gameOver = 1;
  ClearField();
  DrawGameOverText(fieldGeometry);
  SetMenuForDemonstration();
}

void ClearField() {
  BlankField(gameState, fieldGeometry);
  for (int32_t i = 0; i < kSlotCount; ++i) {
    interceptorSlots[i].active = 0;
    missileSlots[i].state = Idle;
  }
  gameState.liveMirvs = 0;
  gameState.liveMissiles = 0;
}
