// The tick schedule.
#include "app/pacing.h"

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
