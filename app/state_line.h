// The state line the scenario runner prints for `dump`, and a recorded session ends with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One JSON object without a line end: the timer messages handled (`ticks`), the generator,
// the counters and options, the field, every missile and interceptor in play, the effects
// played (`sounds`, in order) and the menu items, with keys in a fixed order.
std::string FormatStateLine(uint64_t ticks, const std::vector<std::string>& sounds);
