// Interceptors: launch on a collision course, flight, hit test, scoring and splits.
#pragma once

#include <cstdint>

// Places the slot's interceptor at the nearest launcher with a fixed-speed collision course.
// The caller guarantees the interceptor is inactive and the missile Falling or Mirv.
void LaunchInterceptor(int32_t slot);

// One pass over every interceptor in flight, once per tick, after the missile pass.
void UpdateInterceptors();
