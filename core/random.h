// The game's own pseudo-random generator; the order of its calls is part of the rules.
#pragma once

#include <cstdint>

void SeedRandom(uint32_t seed);

// Next value in 0..32767.
int32_t NextRandom();
