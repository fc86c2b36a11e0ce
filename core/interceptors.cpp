// Interceptors: collision-course launch, flight, hit test, height bonus and the split.
#include "core/interceptors.h"

#include <cmath>

#include "core/alphabet.h"
#include "core/effects.h"
#include "core/events.h"
#include "core/random.h"
#include "core/records.h"
#include "render/draw.h"

namespace {

constexpr double kSpeed = 6.0;
constexpr int32_t kLaunchHeight = 16;
constexpr double kReach = 16.0;
constexpr int32_t kSplitPoints = 20;
constexpr int32_t kBonusDivisor = 64;
constexpr int32_t kScoreCeiling = 99999;

// The launcher nearest the missile; a missile exactly on a midpoint gets the centre one.
int32_t ChooseLauncherX(double missileX) {
  const FieldGeometry& f = fieldGeometry;
  const int32_t midLeft = f.leftLauncherX + (f.centreLauncherX - f.leftLauncherX) / 2;
  const int32_t midRight = f.centreLauncherX + (f.rightLauncherX - f.centreLauncherX) / 2;
  if (missileX < midLeft) return f.leftLauncherX;
  if (missileX > midRight) return f.rightLauncherX;
  return f.centreLauncherX;
}

bool HitsMissile(const InterceptorSlot& in, const MissileSlot& m) {
  return in.y < m.y + kReach && m.x - kReach < in.x && in.x < m.x + kReach;
}

bool AnyIdleEnabledSlot() {
  for (int32_t j = 0; j < kSlotCount; ++j) {
    if (missileSlots[j].state == Idle && SlotEnabled(j)) return true;
  }
  return false;
}

// Three Falling pieces at the parent's position, with dx one less, equal and one more.
// The class rules always leave room for them; should a settings file read mid-run have
// emptied the enabled classes, the search stops rather than spin for ever, and only the
// pieces placed are counted.
void SplitMirv(MissileSlot& parent) {
  gameState.liveMirvs -= 1;
  parent.state = Idle;
  const double parentDx = parent.dx;
  for (int32_t k = 0; k < 3 && AnyIdleEnabledSlot(); ++k) {
    int32_t j = 0;
    do {
      j = NextRandom() % kSlotCount;
    } while (missileSlots[j].state != Idle || !SlotEnabled(j));
    MissileSlot& piece = missileSlots[j];
    piece.x = parent.x;
    piece.y = parent.y;
    piece.dy = parent.dy;
    piece.dx = parentDx + (k - 1);
    piece.state = Falling;
    gameState.liveMissiles += 1;
    NoteGameEvent(GameEvent::kSpawn, j);
  }
  gameState.score += kSplitPoints;
}

void ScoreHit(int32_t slot, InterceptorSlot& in, MissileSlot& m) {
  NoteGameEvent(GameEvent::kHit, slot);
  PlayEffect(SoundEffect::kBingo);
  if (m.state == Falling) {
    m.state = ExplodingFirst;
  } else if (m.state == Mirv) {
    SplitMirv(m);
  }
  const int32_t height = fieldGeometry.groundY - static_cast<int32_t>(m.y);
  gameState.score += height / kBonusDivisor + 1;
  if (gameState.score > kScoreCeiling) gameState.score = kScoreCeiling;
  DrawStatusBar(gameState, fieldGeometry);
  in.active = 0;
}

// Off the top or below the ground the flight ends; past a side it comes back at the other.
void FlyOn(InterceptorSlot& in) {
  const FieldGeometry& f = fieldGeometry;
  if (in.y < f.fieldTop || in.y > f.groundY) {
    in.active = 0;
    return;
  }
  if (in.x < f.fieldLeft) {
    in.x = f.fieldRight;
  } else if (in.x > f.fieldRight) {
    in.x = f.fieldLeft;
  }
  DrawInterceptor(in.x, in.y);
}

}  // namespace

// The velocity of length 6 whose component across the line of sight equals the missile's,
// so the line of sight keeps its direction while the missile keeps its velocity.
void LaunchInterceptor(int32_t slot) {
  InterceptorSlot& in = interceptorSlots[slot];
  const MissileSlot& m = missileSlots[slot];
  in.x = ChooseLauncherX(m.x);
  in.y = fieldGeometry.groundY - kLaunchHeight;
  const double dx = m.x - in.x;
  const double dy = m.y - in.y;
  const double d2 = dx * dx + dy * dy;
  const double cross = m.dy * dx - m.dx * dy;
  if (d2 == 0.0) return;
  const double s = std::sqrt(d2 * kSpeed * kSpeed - cross * cross);
  in.dx = (s * dx - cross * dy) / d2;
  in.dy = (cross * dx + s * dy) / d2;
  in.active = 1;
  NoteGameEvent(GameEvent::kLaunch, slot);
}

void UpdateInterceptors() {
  for (int32_t i = 0; i < kSlotCount; ++i) {
    InterceptorSlot& in = interceptorSlots[i];
    if (in.active == 0) continue;
    EraseInterceptor(in.x, in.y);
    in.x = in.x + in.dx;
    in.y = in.y + in.dy;
    if (HitsMissile(in, missileSlots[i])) {
      ScoreHit(i, in, missileSlots[i]);
    } else {
      FlyOn(in);
    }
  }
}
