// The session: its recording, written as it is played; each game's figures, counted from the
// rules' own events; and the last game, which its results card may keep.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/card_text.h"
#include "app/kept_game.h"
#include "app/recording.h"
#include "core/events.h"

class Session : public GameEventListener {
 public:
  // Records into `record` (not owned) when set, and always into memory, so an ended game can
  // be kept.
  explicit Session(std::FILE* record = nullptr) : recorder_(record) {}

  // What the shell tells of the session, each written as the runner's command for it.
  void Start(uint32_t seed, const std::string* settingsText) {
    recorder_.Start(seed, settingsText);
  }
  // A tick is about to run; TickRan follows it.
  void Tick();
  void TickRan();
  void Size(int width, int height) { recorder_.Size(width, height); }
  void Char(uint8_t code);
  void Command(uint16_t id) { recorder_.Command(id); }
  void Comment(std::string_view text) { recorder_.Comment(text); }
  // The end of the program: the recording ends with the state line the game ended with.
  void Finish(const std::string& stateLine) { recorder_.Finish(stateLine); }

  // A game began: its figures start afresh.
  void GameStarted();
  // The game ended in the state `stateLine` describes. `stamp` ("YYYYMMDD-HHMMSS") names the
  // file it may be kept as; empty, the game cannot be kept.
  void GameEnded(const std::string& stateLine, const std::string& stamp);
  // The last game's figures, as its results card shows them.
  const GameResults& Results() const { return results_; }
  // The last game's recording while it may be kept: empty when there is none to keep.
  const std::string& EndedGame() const { return endedGame_; }
  // Writes the ended game beside the settings file, once; later calls give the same answer.
  const KeptGame& KeepEndedGame();
  bool Kept() const { return kept_; }

  void OnGameEvent(GameEvent event, int32_t slot) override;

 private:
  SessionRecorder recorder_;
  GameResults results_;
  bool counting_ = false;  // the tick under way belongs to a running game
  int32_t bestBefore_ = 0;
  std::string endedGame_;
  std::string endedAt_;
  bool kept_ = false;
  KeptGame keptGame_;
};
