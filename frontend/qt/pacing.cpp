// The tick schedule and the pacing of the impact effect's frames.
#include "frontend/qt/pacing.h"

PaceClock::time_point TickSchedule::NextAfterTick(PaceClock::time_point now) {
  ++next_;
  const PaceClock::time_point due = origin_ + next_ * kTickPeriod;
  if (due > now) return due;
  origin_ = now;
  next_ = 1;
  return now + kTickPeriod;
}

ImpactEffectPacer::Step ImpactEffectPacer::OnPresent(PaceClock::time_point now, int32_t total) {
  if (presented_ == 0) {
    start_ = now;
    lastShown_ = now - kFrameInterval;
  }
  ++presented_;
  if (total < 1) total = 1;
  const PaceClock::time_point due =
      start_ + std::chrono::duration_cast<PaceClock::duration>(kDuration) * presented_ / total;
  const bool last = presented_ >= total;
  if (!last && due - lastShown_ < kFrameInterval) return {false, due};
  lastShown_ = due;
  if (last) presented_ = 0;
  return {true, due};
}
