// The full load the tick measurements start from: every class, level 5, 128 Falling missiles
// and a Mirv, shared so the native benchmark and the portable timing program time one thing.
#pragma once

#include <cstdint>

#include "core/records.h"

// Most missiles reach the ground after this many ticks; restoring the loaded records this
// often keeps the measured ticks at full load.
inline constexpr int64_t kTicksPerRestore = 32;

// Missiles and Mirvs in flight now.
int32_t LiveCount();

// Starts the demonstration afresh, calls `makePicture` (when given) so every tick also draws,
// then loads the field and runs one tick, which launches an interceptor at every target.
// Returns the loaded records, to be put back every kTicksPerRestore ticks.
GameRecords BuildFullLoad(void (*makePicture)());
