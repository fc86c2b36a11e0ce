// Each game's figures per character, counted from the game's events, and the player's history
// of games: one record added as each game ends, and what the progress card and the results
// card show of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/card_text.h"
#include "core/events.h"
#include "core/records.h"

// One character's figures in one game.
struct CharFigures {
  uint8_t code = 0;         // the game's code of the character (code page 932)
  int32_t fell = 0;         // missiles of it that appeared
  int32_t hit = 0;          // shot down
  int32_t ground = 0;       // reached the ground
  int32_t stray = 0;        // its key typed with no missile of it to launch at: a miss
  int32_t launched = 0;     // missiles of it launched at, each timed from its appearance
  int64_t launchTicks = 0;  // those times added up
  bool operator==(const CharFigures&) const = default;
};

// One game as the history keeps it.
struct GameRecord {
  std::string when{};  // local time, "YYYY-MM-DD HH:MM:SS"
  int32_t level = 1;
  uint8_t classes = 1;  // the chosen classes, one bit each as the mode mask has them
  bool mirv = false;
  int32_t score = 0;
  int32_t hits = 0;
  int32_t misses = 0;
  uint64_t ticks = 0;  // the game's length, 64 a second
  GameEnd end = GameEnd::kStopped;
  std::vector<CharFigures> characters{};  // those with any figure, in alphabet order
  bool operator==(const GameRecord&) const = default;
};

// Counts a running game's events per character. The times run on the game's own ticks, so
// pauses are left out.
class CharacterCounter {
 public:
  void Count(GameEvent event, int32_t slot, uint64_t tick);
  // The characters with any figure, in alphabet order.
  std::vector<CharFigures> Figures() const;

 private:
  struct Slot {
    CharFigures figures;
    uint64_t appeared = 0;
    bool awaiting = false;  // its missile appeared and was not yet launched at
  };
  Slot slots_[kSlotCount];
};

// The card's words for a character: the character itself, half-width kana as UTF-8.
std::string CharacterText(uint8_t code);
// Seconds from appearance to launch, on average, a missile that reached the ground counting
// as the longest a missile falls (nine seconds); negative when none was launched at or landed.
double AverageSeconds(const CharFigures& figures);

// What the progress card shows: the last games at one level, and the chosen characters.
struct ProgressView {
  struct Point {
    int32_t score = 0;
    int32_t perMinute = 0;  // hits a minute
    int32_t accuracy = 0;   // hits among hits and misses, in per cent
  };
  struct Cell {
    std::string text{};   // the character
    double seconds = -1;  // average time to launch; negative without one
  };
  int32_t level = 1;
  std::vector<Point> games;          // oldest first
  std::vector<Cell> cells;           // the chosen characters, in alphabet order
  std::vector<std::string> slowest;  // up to five, slowest first
};

// The view of `history` (oldest first) for this level and these classes: its last
// `kPlotGames` games at the level, and the characters' times over them.
inline constexpr size_t kPlotGames = 20;
ProgressView ViewProgress(const std::vector<GameRecord>& history, int32_t level, uint8_t classes);

// The slowest characters of one game, slowest first, at most `count`.
std::vector<std::string> SlowestCharacters(const std::vector<CharFigures>& figures, size_t count);

// The average score of the last ten games at `level` in `history`; false with none.
bool RecentAverage(const std::vector<GameRecord>& history, int32_t level, int32_t* average);
