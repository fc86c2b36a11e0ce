// Times a tick at full load with nothing but the standard clock, so the same program builds
// natively and as WebAssembly and the two can be compared on one machine.
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/startup.h"
#include "core/game.h"
#include "render/pixel_canvas.h"
#include "tools/bench/full_load.h"

namespace {

constexpr int64_t kDefaultTicks = 8192;
constexpr int64_t kDefaultRepetitions = 7;

// The window picture every drawing tick draws into: 640 x 480, as the demonstration starts.
void AttachPixelPicture() {
  static BlockGlyphSource glyphs;
  static PixelCanvas picture(640, 480, PixelOrder::kRgbaBytes, glyphs);
  AttachWindowPicture(&picture);
}

struct Timing {
  double nanosecondsPerTick = 0;
  int64_t liveSum = 0;  // the same in every build that computes the same game
};

// `ticks` ticks from the loaded records, put back every kTicksPerRestore ticks; only the
// ticks are timed, not the restoring.
Timing TimeTicks(const GameRecords& loaded, int64_t ticks) {
  using Clock = std::chrono::steady_clock;
  Clock::duration spent{};
  Timing timing;
  for (int64_t done = 0; done < ticks; done += kTicksPerRestore) {
    records = loaded;
    const int64_t block = std::min(kTicksPerRestore, ticks - done);
    const Clock::time_point start = Clock::now();
    for (int64_t i = 0; i < block; ++i) {
      OnTick();
      timing.liveSum += LiveCount();
    }
    spent += Clock::now() - start;
  }
  const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(spent).count();
  timing.nanosecondsPerTick = static_cast<double>(nanoseconds) / static_cast<double>(ticks);
  return timing;
}

// The median over `repetitions` runs of `ticks` ticks, printed as one line.
void Measure(const char* name, void (*makePicture)(), int64_t ticks, int64_t repetitions) {
  const GameRecords loaded = BuildFullLoad(makePicture);
  std::vector<double> perTick;
  int64_t liveSum = 0;
  for (int64_t r = 0; r < repetitions; ++r) {
    const Timing timing = TimeTicks(loaded, ticks);
    perTick.push_back(timing.nanosecondsPerTick);
    liveSum = timing.liveSum;
  }
  std::sort(perTick.begin(), perTick.end());
  const double median = perTick[perTick.size() / 2];
  std::printf("%s %.1f ns/tick (median of %" PRId64 " x %" PRId64 " ticks; live sum %" PRId64 ")\n",
              name, median, repetitions, ticks, liveSum);
}

// A positive count from the command line, or 0 when `text` is not one.
int64_t CountOf(const char* text) {
  char* end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || value <= 0 || value > 1'000'000'000) return 0;
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 3) {
    std::fprintf(stderr, "usage: %s [ticks [repetitions]]\n", argv[0]);
    return 2;
  }
  const int64_t ticks = argc > 1 ? CountOf(argv[1]) : kDefaultTicks;
  const int64_t repetitions = argc > 2 ? CountOf(argv[2]) : kDefaultRepetitions;
  if (ticks == 0 || repetitions == 0) {
    std::fprintf(stderr, "%s: the tick and repetition counts must be whole numbers above 0\n",
                 argv[0]);
    return 2;
  }
  if (!LoadStaysFull()) {
    std::fprintf(stderr, "%s: the full load thins out before it is restored\n", argv[0]);
    return 1;
  }
  Measure("rules", nullptr, ticks, repetitions);
  Measure("drawing", AttachPixelPicture, ticks, repetitions);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "%s: cannot write the timings\n", argv[0]);
    return 1;
  }
  return 0;
}
