// The session's recording, each game's own, and the figures of its games.
#include "app/session.h"

#include "app/settings.h"
#include "core/game.h"
#include "core/records.h"
#include "resources/command_ids.h"

namespace {

bool GameInPlay() {
  return GameRunning() && gameState.paused == 0;
}

constexpr int32_t kMissesToLose = 10;

// "YYYYMMDD-HHMMSS" as a spreadsheet reads a date and time.
std::string HistoryTime(const std::string& stamp) {
  if (stamp.size() != 15) return "0000-00-00 00:00:00";
  return stamp.substr(0, 4) + "-" + stamp.substr(4, 2) + "-" + stamp.substr(6, 2) + " " +
         stamp.substr(9, 2) + ":" + stamp.substr(11, 2) + ":" + stamp.substr(13, 2);
}

}  // namespace

// A tick that ends the game is not one of its ticks.
void Session::Tick() {
  recorder_.Tick();
  game_.Tick();
  ++gameTicks_;
  counting_ = GameInPlay();
}

void Session::TickRan() {
  if (counting_ && GameRunning()) ++results_.ticks;
  counting_ = false;
}

void Session::Size(int width, int height) {
  width_ = width;
  height_ = height;
  sized_ = true;
  recorder_.Size(width, height);
  game_.Size(width, height);
}

void Session::Char(uint8_t code) {
  recorder_.Char(code);
  game_.Char(code);
}

// The game's own recording begins with what the rules start it from: the generator's state,
// the settings as they are now and the window's size when one was given.
void Session::Command(uint16_t id) {
  recorder_.Command(id);
  if (id == kCmdStart && keepGames_) {
    game_ = SessionRecorder(nullptr, true);
    gameTicks_ = 0;
    gameSounds_ = {};
    const std::string settings = FormatSettings();
    game_.Start(randomSeed, &settings);
    if (sized_) game_.Size(width_, height_);
  }
  game_.Command(id);
}

void Session::Comment(std::string_view text) {
  recorder_.Comment(text);
  game_.Comment(text);
}

void Session::GameStarted() {
  results_ = {};
  grounded_ = false;
  bestBefore_ = gameState.highScoreTable[gameState.level - 1].best;
  ended_ = {};
  characters_ = {};
}

// The game's own recording ends here, so it replays to the state the results card shows.
void Session::GameEnded(const std::string& stamp) {
  const HighScoreEntry& best = gameState.highScoreTable[gameState.level - 1];
  results_.score = gameState.score;
  results_.best = best.best;
  results_.newBest = best.best > bestBefore_;
  results_.level = gameState.level;
  results_.misses = gameState.misses;
  results_.end = grounded_                           ? GameEnd::kGround
                 : gameState.misses >= kMissesToLose ? GameEnd::kTenthMiss
                                                     : GameEnd::kStopped;
  const std::string recording = game_.SoFar(FormatStateLine(gameTicks_, gameSounds_));
  game_ = SessionRecorder(nullptr, false);
  ended_ = {.recording = stamp.empty() ? "" : recording, .stamp = stamp};
  const GameRecord game{.when = HistoryTime(stamp),
                        .level = results_.level,
                        .classes = gameState.modeMask,
                        .mirv = gameState.mirvOn != 0,
                        .score = results_.score,
                        .hits = results_.hits,
                        .misses = results_.misses,
                        .ticks = results_.ticks,
                        .end = results_.end,
                        .characters = characters_.Figures()};
  results_.slowest = SlowestCharacters(game.characters, 3);
  RecentAverage(history_.Games(), results_.level, &results_.average);
  if (!history_.Add(game)) historyNotKept_ = true;
}

const KeptGame& Session::KeepEndedGame() {
  if (!ended_.kept) ended_.kept = KeepGame(ended_.stamp, ended_.recording);
  return *ended_.kept;
}

// Only a running game's hits count: the demonstration shoots by itself.
void Session::OnGameEvent(GameEvent event, int32_t slot) {
  if (!GameRunning()) return;
  characters_.Count(event, slot, results_.ticks);
  if (event == GameEvent::kHit) ++results_.hits;
  if (event == GameEvent::kGround) grounded_ = true;
}
