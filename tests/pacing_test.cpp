// The tick schedule keeps 64 ticks a second on average and never catches up after a stall;
// the impact effect's frames fill half a second.
#include "frontend/qt/pacing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// A timer that wakes each tick up to a millisecond late still averages exactly 64 a second.
TEST(TickSchedule, LateWakeUpsDoNotDriftTheAverage) {
  const PaceClock::time_point origin{};
  TickSchedule schedule(origin);
  PaceClock::time_point now = origin + kTickPeriod;
  for (int tick = 1; tick <= 640; ++tick) {
    const PaceClock::time_point due = schedule.NextAfterTick(now + nanoseconds(tick % 7 * 130'000));
    EXPECT_EQ(due, origin + (tick + 1) * kTickPeriod);
    now = due;
  }
}

TEST(TickSchedule, AStallStartsTheScheduleAfreshWithoutCatchingUp) {
  const PaceClock::time_point origin{};
  TickSchedule schedule(origin);
  const PaceClock::time_point afterStall = origin + milliseconds(500);
  EXPECT_EQ(schedule.NextAfterTick(afterStall), afterStall + kTickPeriod);
  EXPECT_EQ(schedule.NextAfterTick(afterStall + kTickPeriod), afterStall + 2 * kTickPeriod);
}

// 897 arcs at the starting height: the first shown at once, then one a frame interval apart,
// the last at 500 ms.
TEST(ImpactEffectPacer, SpreadsTheDomeOverHalfASecond) {
  ImpactEffectPacer pacer;
  const PaceClock::time_point start{};
  std::vector<PaceClock::duration> shown;
  for (int arc = 1; arc <= 897; ++arc) {
    const ImpactEffectPacer::Step step = pacer.OnPresent(start + milliseconds(arc / 100), 897);
    if (step.show) shown.push_back(step.waitUntil - start);
  }
  ASSERT_GE(shown.size(), 28u);
  EXPECT_LE(shown.size(), 31u);
  EXPECT_LT(shown.front(), milliseconds(1));
  EXPECT_EQ(shown.back(), ImpactEffectPacer::kDuration);
  for (size_t i = 1; i + 1 < shown.size(); ++i) {
    EXPECT_GE(shown[i] - shown[i - 1], ImpactEffectPacer::kFrameInterval - nanoseconds(1));
  }
  // The next effect starts its own half second.
  const PaceClock::time_point later = start + milliseconds(900);
  EXPECT_TRUE(pacer.OnPresent(later, 1).show);
  EXPECT_EQ(pacer.OnPresent(later, 1).waitUntil, later + ImpactEffectPacer::kDuration);
}

}  // namespace
