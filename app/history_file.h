// The player's history of games as a file beside the settings file (in the page, local
// storage): tab-separated text a spreadsheet opens, one header line, then one line a game.
//
// Tabs because the characters' figures hold commas and every symbol a game may drop, but
// never a tab. The columns:
//   when  level  classes  mirv  score  hits  misses  ticks  end  characters
// `classes` is a letter a chosen class (U upper, L lower, D digits, S symbols, K kana);
// `ticks` is the game's length at 64 a second; `end` is ground, misses or stopped; each of the
// `characters` is "C=fell/hit/ground/stray/launched/launchTicks", separated by spaces.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/progress.h"

// The history keeps the last games within both bounds: a few thousand games, and a size the
// page's storage and the reader take at once.
inline constexpr size_t kHistoryGames = 3000;
inline constexpr size_t kHistoryBytes = size_t{1} << 20;

inline constexpr const char* kHistoryFileName = "VOLARIN-HISTORY.TXT";

std::string HistoryLine(const GameRecord& game);
// The whole file: the header line, then the last games that fit both bounds.
std::string HistoryText(const std::vector<GameRecord>& games);
// The games of a history's text, oldest first; a line that is not a game's is passed over,
// and only the last kHistoryGames are kept.
std::vector<GameRecord> ReadHistory(std::string_view text);

// Adds `game` to the stored history, with no other copy's save between the reading and the
// writing; `games` then holds what was written. False when it could not be kept: the file is
// left as it was.
bool AppendToHistory(const GameRecord& game, std::vector<GameRecord>* games);
// Where the history is kept, as a player would look for it.
std::string HistoryLocation();

// The history as a session of play sees it: read once when first wanted, added to as each game
// ends. Where nothing is `kept` (a replay, the runner) no file is read or written, and only
// this session's games are known.
class PlayerHistory {
 public:
  explicit PlayerHistory(bool kept = false) : kept_(kept) {}
  // Read on the first call; none when there is no file or it cannot be read.
  const std::vector<GameRecord>& Games();
  // False when the file could not be written; the game is known to this session all the same.
  bool Add(const GameRecord& game);

 private:
  bool kept_;
  bool loaded_ = false;
  std::vector<GameRecord> games_;
};
