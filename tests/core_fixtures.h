// Test helpers for the rules: a running game, looking ahead at the generator, and seeds chosen
// by what they draw.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>

#include "core/alphabet.h"
#include "core/game.h"
#include "core/missiles.h"
#include "core/random.h"
#include "test_support.h"

// The game's own generator run from another state, leaving the game's state as it is, so a
// test can look ahead at what it will draw.
struct Lookahead {
  uint32_t state;
  int32_t Next() {
    std::swap(state, randomSeed);
    const int32_t value = NextRandom();
    std::swap(state, randomSeed);
    return value;
  }
  uint32_t After(int32_t draws) {
    while (draws-- > 0) Next();
    return state;
  }
};

// With no class enabled nothing spawns, so placed missiles are alone on the field.
inline void NoSpawns() {
  gameState.modeMask = 0;
  ComputeCapacity();
}

using SpawnDraws = std::function<bool(const int32_t* d)>;  // d: the x, dx, dy, Mirv draws

// The first seed with which the next missile pass, over the slots as they are now, has its
// spawn draw succeed in exactly `slots` among the enabled idle ones; each of those spawns
// takes `draws` more values, which `ok` (if given) accepts.
inline uint32_t SeedSpawningAt(std::initializer_list<int32_t> slots, int32_t draws,
                               const SpawnDraws& ok = nullptr) {
  for (uint32_t seed = 1; seed < 50000000; ++seed) {
    Lookahead g{seed};
    bool fits = true;
    for (int32_t i = 0; i < kSlotCount && fits; ++i) {
      if (missileSlots[i].state != Idle) continue;
      const bool hit = g.Next() % 200 == 0;
      int32_t d[4] = {};
      const bool wanted = std::find(slots.begin(), slots.end(), i) != slots.end();
      for (int32_t k = 0; wanted && k < draws; ++k) d[k] = g.Next();
      fits = wanted ? hit && (!ok || ok(d)) : !hit || !SlotEnabled(i);
    }
    if (fits) return seed;
  }
  ADD_FAILURE() << "no seed spawns as asked";
  return 0;
}

// One missile pass with such a seed; whether `slot` holds a missile afterwards.
inline bool PassSpawns(int32_t slot, int32_t draws = 4, const SpawnDraws& ok = nullptr) {
  SeedRandom(SeedSpawningAt({slot}, draws, ok));
  UpdateMissiles();
  return missileSlots[slot].state != Idle;
}

// A game just started, with nothing to spawn and nothing played yet.
class PlayingTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    StartGame();
    NoSpawns();
    sound.played.clear();
  }
};
