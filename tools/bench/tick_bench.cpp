// Benchmarks: timer ticks at full load (drawing or not) and in the demonstration, the impact
// dome, and one state line.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/startup.h"
#include "app/state_line.h"
#include "core/game.h"
#include "core/records.h"
#include "render/draw.h"
#include "tools/bench/full_load.h"
#include "tools/sim/picture.h"

namespace {

// The window picture every drawing tick draws into: 640 x 480, as the demonstration starts.
void MakeWindowPicture() {
  AttachWindowPicture(BuildPicture(640, 480));
}

void RunFullLoadTicks(benchmark::State& state, bool drawing) {
  const GameRecords loaded = BuildFullLoad(drawing ? MakeWindowPicture : nullptr);
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
  StartDemonstration();
  MakeWindowPicture();
  for (auto _ : state) DrawImpactEffect(320.5, fieldGeometry);
  state.counters["arcs"] = 2 * fieldGeometry.fieldHeight + 1;
}
BENCHMARK(BM_ImpactEffect);

// The starting demonstration (upper case, level 1) after ten seconds: at most three missiles,
// so the cost is mostly the spawn draw of every idle slot.
void BM_TickDemonstration(benchmark::State& state) {
  StartDemonstration();
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
  records = BuildFullLoad(nullptr);
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string line = FormatStateLine(0, PlayedSounds{});
    bytes = line.size();
    benchmark::DoNotOptimize(line.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_StateLineFullLoad);

}  // namespace

// The timings mean something only at full load, so a load that thins out stops the run.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  if (!LoadStaysFull()) {
    std::fprintf(stderr, "volarin-bench: the full load thins out before it is restored\n");
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
