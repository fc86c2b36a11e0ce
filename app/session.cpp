// The session's recording and the figures of its games.
#include "app/session.h"

#include "core/records.h"

namespace {

bool GameRunning() {
  return gameState.gameOver == 0;
}

bool GameInPlay() {
  return GameRunning() && gameState.paused == 0;
}

}  // namespace

// A tick that ends the game is not one of its ticks.
void Session::Tick() {
  recorder_.Tick();
  counting_ = GameInPlay();
}

void Session::TickRan() {
  if (counting_ && GameRunning()) ++results_.ticks;
  counting_ = false;
}

void Session::Char(uint8_t code) {
  if (GameInPlay()) ++results_.typed;
  recorder_.Char(code);
}

void Session::GameStarted() {
  results_ = {};
  bestBefore_ = gameState.highScoreTable[gameState.level - 1].best;
  endedGame_.clear();
  kept_ = false;
}

// The recording ends here, so it replays to the state the results card shows.
void Session::GameEnded(const std::string& stateLine, const std::string& stamp) {
  const HighScoreEntry& best = gameState.highScoreTable[gameState.level - 1];
  results_.score = gameState.score;
  results_.best = best.best;
  results_.newBest = best.best > bestBefore_;
  results_.level = gameState.level;
  results_.misses = gameState.misses;
  endedAt_ = stamp;
  endedGame_ = stamp.empty() ? "" : recorder_.SoFar(stateLine);
  kept_ = false;
}

const KeptGame& Session::KeepEndedGame() {
  if (!kept_) keptGame_ = KeepGame(endedAt_, endedGame_);
  kept_ = true;
  return keptGame_;
}

// Only a running game's hits count: the demonstration shoots by itself.
void Session::OnGameEvent(GameEvent event, int32_t) {
  if (event == GameEvent::kHit && GameRunning()) ++results_.hits;
}
