// Counting a game's figures per character from its events, and reading the history for the
// progress and results cards.
#include "app/progress.h"

#include <algorithm>

#include "core/alphabet.h"

void CharacterCounter::Start() {
  for (Slot& slot : slots_) slot = {};
}

// A missile's time runs from its appearance to the first launch at it; a second launch (the
// first interceptor missed) is not timed again.
void CharacterCounter::Count(GameEvent event, int32_t slot, uint64_t tick) {
  if (slot < 0 || slot >= kSlotCount) return;
  Slot& s = slots_[slot];
  switch (event) {
    case GameEvent::kSpawn:
      ++s.figures.fell;
      s.appeared = tick;
      s.awaiting = true;
      break;
    case GameEvent::kLaunch:
      if (!s.awaiting) break;
      ++s.figures.launched;
      s.figures.launchTicks += static_cast<int64_t>(tick - s.appeared);
      s.awaiting = false;
      break;
    case GameEvent::kHit:
      ++s.figures.hit;
      break;
    case GameEvent::kGround:
      ++s.figures.ground;
      s.awaiting = false;
      break;
    case GameEvent::kMiss:
      ++s.figures.stray;
      break;
  }
}

std::vector<CharFigures> CharacterCounter::Figures() const {
  std::vector<CharFigures> figures;
  for (int32_t i = 0; i + 1 < kSlotCount; ++i) {
    CharFigures f = slots_[i].figures;
    if (f == CharFigures{}) continue;
    f.code = static_cast<uint8_t>(kAlphabet[i]);
    figures.push_back(f);
  }
  return figures;
}

// Half-width katakana are U+FF61 on from code 0xA1.
std::string CharacterText(uint8_t code) {
  if (code < 0xA1 || code > 0xDF) return std::string(1, static_cast<char>(code));
  const unsigned point = 0xFF61 + code - 0xA1;
  return {static_cast<char>(0xE0 | point >> 12), static_cast<char>(0x80 | (point >> 6 & 0x3F)),
          static_cast<char>(0x80 | (point & 0x3F))};
}

namespace {

// A character that reached the ground is slower than any launched at: a ground counts as the
// longest time a missile falls, about nine seconds.
constexpr double kGroundSeconds = 9.0;

}  // namespace

double AverageSeconds(const CharFigures& figures) {
  const int64_t timed = int64_t{figures.launched} + figures.ground;
  if (timed <= 0) return -1;
  return (static_cast<double>(figures.launchTicks) / 64.0 + figures.ground * kGroundSeconds) /
         static_cast<double>(timed);
}

namespace {

struct Timed {
  uint8_t code;
  double seconds;
};

std::vector<Timed> Slowest(const std::vector<CharFigures>& figures) {
  std::vector<Timed> timed;
  for (const CharFigures& f : figures) {
    const double seconds = AverageSeconds(f);
    if (seconds >= 0) timed.push_back({f.code, seconds});
  }
  std::stable_sort(timed.begin(), timed.end(),
                   [](const Timed& a, const Timed& b) { return a.seconds > b.seconds; });
  return timed;
}

std::vector<std::string> Names(const std::vector<Timed>& timed, size_t count) {
  std::vector<std::string> names;
  for (size_t i = 0; i < std::min(count, timed.size()); ++i) {
    names.push_back(CharacterText(timed[i].code));
  }
  return names;
}

// The reader holds the figures to bounds that keep this within range.
int32_t PerMinute(const GameRecord& game) {
  if (game.ticks == 0) return 0;
  return static_cast<int32_t>(int64_t{game.hits} * 3840 / static_cast<int64_t>(game.ticks));
}

bool ClassChosen(uint8_t classes, uint8_t code) {
  const int32_t slot = static_cast<int32_t>(charToSlot[code]);
  for (int c = 0; c < kClassCount; ++c) {
    if ((classes & 1 << c) != 0 && slot >= classRanges[c].first && slot <= classRanges[c].last) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::vector<std::string> SlowestCharacters(const std::vector<CharFigures>& figures, size_t count) {
  return Names(Slowest(figures), count);
}

// The characters' figures are added up over the games plotted, so the grid and the plot
// speak of the same games.
ProgressView ViewProgress(const std::vector<GameRecord>& history, int32_t level, uint8_t classes) {
  ProgressView view;
  view.level = level;
  CharFigures sums[256] = {};
  for (auto game = history.rbegin(); game != history.rend() && view.games.size() < kPlotGames;
       ++game) {
    if (game->level != level) continue;
    const int64_t shots = int64_t{game->hits} + game->misses;
    view.games.insert(
        view.games.begin(),
        {.score = game->score,
         .perMinute = PerMinute(*game),
         .accuracy = shots == 0 ? 0 : static_cast<int32_t>(100 * game->hits / shots)});
    for (const CharFigures& f : game->characters) {
      CharFigures& sum = sums[f.code];
      sum.code = f.code;
      sum.fell += f.fell;
      sum.hit += f.hit;
      sum.ground += f.ground;
      sum.launched += f.launched;
      sum.launchTicks += f.launchTicks;
    }
  }
  std::vector<CharFigures> chosen;
  for (int32_t i = 0; i + 1 < kSlotCount; ++i) {
    const auto code = static_cast<uint8_t>(kAlphabet[i]);
    if (!ClassChosen(classes, code)) continue;
    view.cells.push_back({CharacterText(code), AverageSeconds(sums[code])});
    if (sums[code].code == code) chosen.push_back(sums[code]);
  }
  view.slowest = Names(Slowest(chosen), 5);
  return view;
}

bool RecentAverage(const std::vector<GameRecord>& history, int32_t level, int32_t* average) {
  int64_t total = 0;
  int64_t games = 0;
  for (auto game = history.rbegin(); game != history.rend() && games < 10; ++game) {
    if (game->level != level) continue;
    total += game->score;
    ++games;
  }
  if (games == 0) return false;
  *average = static_cast<int32_t>(total / games);
  return true;
}
