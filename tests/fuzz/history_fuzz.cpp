// Fuzzes the history file's reader: whatever a file holds, its games are within their bounds,
// written out they read back the same, and the cards' views of them stay in range.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/history_file.h"
#include "app/progress.h"
#include "core/alphabet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool tablesBuilt = (BuildCharTables(), true);
  (void)tablesBuilt;
  const std::vector<GameRecord> games =
      ReadHistory(std::string_view(reinterpret_cast<const char*>(data), size));
  if (games.size() > kHistoryGames) std::abort();
  const std::string text = HistoryText(games);
  if (text.size() > kHistoryBytes) std::abort();
  const std::vector<GameRecord> again = ReadHistory(text);
  // A text far from the size bound keeps every game; else only the oldest may be left out.
  if (size < kHistoryBytes / 2 && again != games) std::abort();
  if (again.size() > games.size() ||
      !std::equal(again.begin(), again.end(), games.end() - static_cast<long>(again.size()))) {
    std::abort();
  }
  if (HistoryText(again) != text) std::abort();
  for (const GameRecord& game : games) {
    if (game.level < 1 || game.level > 5 || game.classes == 0 || game.classes > 0x1F) std::abort();
    if (SlowestCharacters(game.characters, 3).size() > 3) std::abort();
  }
  const ProgressView view = ViewProgress(games, games.empty() ? 1 : games.back().level, 0x1F);
  for (const ProgressView::Point& point : view.games) {
    if (point.accuracy < 0 || point.accuracy > 100 || point.perMinute < 0) std::abort();
  }
  if (view.games.size() > kPlotGames || view.cells.size() != kSlotCount - 1) std::abort();
  return 0;
}
