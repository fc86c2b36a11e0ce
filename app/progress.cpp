// Counting a game's figures per character from its events, and reading the history for the
// progress and results cards.
#include "app/progress.h"

#include <algorithm>
#include <utility>

#include "app/message_text.h"
#include "core/alphabet.h"

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
  return EncodeUtf8(0xFF61 + code - 0xA1);
}

// A character that reached the ground is slower than any launched at: a ground counts as the
// longest time a missile falls, about nine seconds.
double AverageSeconds(const CharFigures& figures) {
  const int64_t timed = int64_t{figures.launched} + figures.ground;
  if (timed <= 0) return -1;
  return (static_cast<double>(figures.launchTicks) / 64.0 + figures.ground * 9.0) /
         static_cast<double>(timed);
}

std::vector<std::string> SlowestCharacters(const std::vector<CharFigures>& figures, size_t count) {
  std::vector<std::pair<double, uint8_t>> timed;
  for (const CharFigures& f : figures) {
    if (AverageSeconds(f) >= 0) timed.emplace_back(AverageSeconds(f), f.code);
  }
  std::stable_sort(timed.begin(), timed.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::string> names;
  for (size_t i = 0; i < std::min(count, timed.size()); ++i) {
    names.push_back(CharacterText(timed[i].second));
  }
  return names;
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
    // The reader holds the figures to bounds that keep these within range.
    const int64_t shots = int64_t{game->hits} + game->misses;
    const auto ticks = static_cast<int64_t>(game->ticks);
    view.games.insert(
        view.games.begin(),
        {.score = game->score,
         .perMinute = ticks == 0 ? 0 : static_cast<int32_t>(game->hits * int64_t{3840} / ticks),
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
  // The classes lie in the alphabet one after another, in the order of their bits.
  for (int c = 0; c < kClassCount; ++c) {
    if ((classes & 1 << c) == 0) continue;
    for (int32_t i = classRanges[c].first; i <= classRanges[c].last; ++i) {
      const auto code = static_cast<uint8_t>(kAlphabet[i]);
      view.cells.push_back({CharacterText(code), AverageSeconds(sums[code])});
      if (sums[code].code == code) chosen.push_back(sums[code]);
    }
  }
  view.slowest = SlowestCharacters(chosen, 5);
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
