// Benchmarks: timer ticks at full load (drawing or not) and in the demonstration, the impact
// dome, and one state line.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "app/commands.h"
#include "core/alphabet.h"
#include "core/game.h"
#include "core/records.h"
#include "render/draw.h"
#include "tools/sim/picture.h"
#include "tools/sim/scenario.h"

namespace {

constexpr uint8_t kAllClasses = 31;
constexpr int32_t kLoadedFalling = 128;
constexpr int32_t kMirvSlot = kLoadedFalling;  // the slot after the Falling ones
constexpr int64_t kTicksPerRestore = 32;

int32_t LiveCount() {
  return gameState.liveMissiles + gameState.liveMirvs;
}

// 128 Falling missiles and one Mirv in enabled slots over the upper half of the field, with
// velocities a spawn at this score could give. 3 x 1 + 128 = 131 = capacity - 2, as full as
// spawning ever fills it. The missiles need more than 32 ticks to reach the ground.
void PlaceMissiles() {
  for (int32_t slot = 0; slot <= kMirvSlot; ++slot) {
    MissileSlot& m = missileSlots[slot];
    m.x = 50 + (slot * 97) % 540;
    m.y = 8 + (slot * 53) % 216;
    m.dx = slot % 3 - 1;
    m.dy = 1 + slot % 5;
    m.state = slot == kMirvSlot ? Mirv : Falling;
  }
  gameState.liveMissiles = kLoadedFalling;
  gameState.liveMirvs = 1;
}

// The demonstration with every class, level 5 and a score that gives the fastest missiles and
// the most multiple warheads; one tick launches an interceptor at every target. With
// `drawing`, every tick also draws into a 640 x 480 window picture.
GameRecords BuildFullLoad(bool drawing) {
  StartScenario();
  if (drawing) BuildPicture(640, 480);
  gameState.modeMask = kAllClasses;
  ComputeCapacity();
  SelectLevel(kLevelCount);
  gameState.score = 5000;
  gameState.mirvOn = 1;
  PlaceMissiles();
  OnTick();
  return records;
}

void RunFullLoadTicks(benchmark::State& state, bool drawing) {
  const GameRecords loaded = BuildFullLoad(drawing);
  int64_t ticks = 0;
  int64_t liveSum = 0;
  for (auto _ : state) {
    if (ticks % kTicksPerRestore == 0) {
      state.PauseTiming();
      records = loaded;
      state.ResumeTiming();
    }
    OnTick();
    liveSum += LiveCount();
    ++ticks;
  }
  state.counters["live"] =
      benchmark::Counter(static_cast<double>(liveSum), benchmark::Counter::kAvgIterations);
  state.counters["capacity"] = gameState.missileCapacity;
}

void BM_TickFullLoad(benchmark::State& state) {
  RunFullLoadTicks(state, false);
}
BENCHMARK(BM_TickFullLoad);

void BM_TickFullLoadDrawing(benchmark::State& state) {
  RunFullLoadTicks(state, true);
}
BENCHMARK(BM_TickFullLoadDrawing);

// The dome of a missile reaching the ground in the starting window: 448 white arcs and 449
// black ones, drawn without pause.
void BM_ImpactEffect(benchmark::State& state) {
  StartScenario();
  BuildPicture(640, 480);
  for (auto _ : state) DrawImpactEffect(320.5, fieldGeometry);
  state.counters["arcs"] = 2 * fieldGeometry.fieldHeight + 1;
}
BENCHMARK(BM_ImpactEffect);

// The starting demonstration (upper case, level 1) after ten seconds: at most three missiles,
// so the cost is mostly the spawn draw of every idle slot.
void BM_TickDemonstration(benchmark::State& state) {
  StartScenario();
  for (int i = 0; i < 640; ++i) OnTick();
  int64_t liveSum = 0;
  for (auto _ : state) {
    OnTick();
    liveSum += LiveCount();
  }
  state.counters["live"] =
      benchmark::Counter(static_cast<double>(liveSum), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_TickDemonstration);

// One state line at full load: what every `dump` of the scenario runner costs.
void BM_StateLineFullLoad(benchmark::State& state) {
  records = BuildFullLoad(false);
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string line = StateLine();
    bytes = line.size();
    benchmark::DoNotOptimize(line.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_StateLineFullLoad);

}  // namespace
