// When the next tick is due, and how the impact effect's frames are spread over half a second.
#pragma once

#include <chrono>
#include <cstdint>

using PaceClock = std::chrono::steady_clock;

// 64 ticks a second, the pace of the original 1 ms timer.
constexpr std::chrono::nanoseconds kTickPeriod{15'625'000};

// Tick n is due at origin + n periods, so rounding each wait to whole milliseconds never
// drifts the average. A tick that finds the next one already due starts the schedule anew
// from now: ticks missed in a stall are not caught up.
class TickSchedule {
 public:
  explicit TickSchedule(PaceClock::time_point origin) : origin_(origin) {}

  // Called after each tick; returns when the next one is due.
  PaceClock::time_point NextAfterTick(PaceClock::time_point now);

 private:
  PaceClock::time_point origin_;
  int64_t next_ = 1;  // the number of the tick due next; tick 0 is at the origin
};

// The impact effect presents every arc from inside one tick. Shown as fast as it is drawn the
// dome would flash by in a millisecond, so its presents are spread evenly over a fixed time,
// and only about one in each frame interval is shown.
class ImpactEffectPacer {
 public:
  static constexpr std::chrono::milliseconds kDuration{500};
  static constexpr std::chrono::microseconds kFrameInterval{16'667};

  struct Step {
    bool show;                        // show the picture now
    PaceClock::time_point waitUntil;  // then wait until this moment (only when shown)
  };

  // One present of an effect that presents `total` times in all.
  Step OnPresent(PaceClock::time_point now, int32_t total);

  // The tick is over; the next present starts a new effect.
  void Reset() { presented_ = 0; }

 private:
  PaceClock::time_point start_;
  PaceClock::time_point lastShown_;
  int32_t presented_ = 0;
};
