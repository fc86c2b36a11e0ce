// The game's pace: when ticks are due, and the impact effect shown frame by frame.
#pragma once

#include <chrono>
#include <cstdint>

using PaceClock = std::chrono::steady_clock;

// 64 ticks a second, the pace of the original 1 ms timer.
constexpr std::chrono::nanoseconds kTickPeriod{15'625'000};

// More ticks due than this at once means the program stalled (a hidden page, a suspended
// process): the schedule then starts anew instead of catching up. Fewer are the ordinary
// jitter of a timer or a display's frame rate (60 frames a second need two ticks in some
// frames to keep 64 ticks a second).
constexpr int64_t kMostTicksAtOnce = 4;

// The impact dome is shown over this time, at about one frame per display refresh.
constexpr std::chrono::milliseconds kImpactEffectDuration{500};
constexpr std::chrono::microseconds kImpactFrameInterval{16'667};

// Tick n is due at origin + n periods, so waits rounded to whole milliseconds never drift the
// average.
class TickSchedule {
 public:
  explicit TickSchedule(PaceClock::time_point origin = {}) : origin_(origin) {}

  // Takes the ticks due by `now` and returns how many to run: 0 up to kMostTicksAtOnce, or 1
  // after a stall, when the schedule starts anew from now.
  int64_t TakeDueTicks(PaceClock::time_point now);

  // When the next tick is due.
  PaceClock::time_point NextDue() const { return origin_ + next_ * kTickPeriod; }

  // The next tick is due one period from `now`; nothing missed before is made up.
  void Restart(PaceClock::time_point now);

 private:
  PaceClock::time_point origin_;
  int64_t next_ = 1;  // the number of the tick due next; tick 0 is at the origin
};

// The schedule, and the impact dome's frames spread evenly over kImpactEffectDuration after the
// tick that drew them all.
struct ImpactPacing {
  TickSchedule schedule;
  PaceClock::time_point nextCall{};  // when the shell has something to do again

  // The tick just run drew `presents` frames, held back to be shown from `now` on.
  void Begin(PaceClock::time_point now, int presents) {
    effectStart_ = now;
    effectPresents_ = presents;
  }
  // How many more of the held frames are due by `now` (all but the last, which goes with the
  // rest of the tick's drawing); -1 once the effect's time is over.
  int FramesDue(PaceClock::time_point now, int presentsHeld) const;

 private:
  PaceClock::time_point effectStart_{};
  int64_t effectPresents_ = 0;
};
