// The game's linear congruential generator: 32-bit wrap-around, 15-bit results.
#include "core/random.h"

#include "core/records.h"

void SeedRandom(uint32_t seed) {
  randomSeed = seed;
}

int32_t NextRandom() {
  randomSeed = randomSeed * 214013u + 2531011u;
  return static_cast<int32_t>((randomSeed >> 16) & 0x7FFF);
}
