// The tick schedule and the impact effect's frames.
#include "app/pacing.h"

#include <algorithm>

int64_t TickSchedule::TakeDueTicks(PaceClock::time_point now) {
  if (now < NextDue()) return 0;
  const int64_t due = (now - origin_) / kTickPeriod - next_ + 1;
  if (due > kMostTicksAtOnce) {
    Restart(now);
    return 1;
  }
  next_ += due;
  return due;
}

void TickSchedule::Restart(PaceClock::time_point now) {
  origin_ = now;
  next_ = 1;
}

int ImpactPacing::FramesDue(PaceClock::time_point now, int presentsHeld) const {
  const auto elapsed = now - effectStart_;
  if (elapsed >= kImpactEffectDuration) return -1;
  const int64_t due =
      1 + effectPresents_ * elapsed.count() /
              std::chrono::duration_cast<PaceClock::duration>(kImpactEffectDuration).count();
  const int64_t released = effectPresents_ - presentsHeld;
  return static_cast<int>(std::min(due, effectPresents_ - 1) - released);
}
