// The session: its recording, written as it is played; each game's figures, counted from the
// rules' own events; and each game's own recording, which its results card may keep.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "app/card_text.h"
#include "app/history_file.h"
#include "app/kept_game.h"
#include "app/recording.h"
#include "app/state_line.h"
#include "core/events.h"

class Session : public GameEventListener {
 public:
  // Records the whole session into `record` (not owned) when set; `keepGames` records each
  // game from its start command into memory, so an ended game can be kept; `keepHistory` adds
  // each game to the player's history file.
  explicit Session(std::FILE* record = nullptr, bool keepGames = false, bool keepHistory = false)
      : recorder_(record, false), keepGames_(keepGames), history_(keepHistory) {}

  // What the shell tells of the session, each written as the runner's command for it.
  void Start(uint32_t seed, const std::string* settingsText) {
    recorder_.Start(seed, settingsText);
  }
  // A tick is about to run; TickRan follows it.
  void Tick();
  void TickRan();
  void Size(int width, int height);
  void Char(uint8_t code);
  // Before the rules take it: a start command begins the game's own recording.
  void Command(uint16_t id);
  void Comment(std::string_view text);
  // The end of the program: the recording ends with the state line the game ended with.
  void Finish(const std::string& stateLine) { recorder_.Finish(stateLine); }

  // A game began: its figures start afresh.
  void GameStarted();
  // The game ended at `stamp` ("YYYYMMDD-HHMMSS", local time), which names the file it may be
  // kept as and dates its history record; empty, the game cannot be kept.
  void GameEnded(const std::string& stamp);
  // The last game's figures, as its results card shows them.
  const GameResults& Results() const { return results_; }
  // The last game's recording while it may be kept: empty when there is none to keep.
  const std::string& EndedGame() const { return ended_.recording; }
  // Writes the ended game beside the settings file, once; later calls give the same answer.
  const KeptGame& KeepEndedGame();
  // Reads the player's history now (once), as start-up reads the settings, so a file that
  // cannot be read costs nothing later.
  void LoadHistory() { history_.Games(); }
  // A game could not be added to the history file.
  bool HistoryNotKept() const { return historyNotKept_; }
  // The progress card's view of the history at this level and these classes.
  ProgressView Progress(int32_t level, uint8_t classes) {
    return ViewProgress(history_.Games(), level, classes);
  }
  // Where the sound output notes the effects a game's own recording lists.
  PlayedSounds& GameSounds() { return gameSounds_; }

  void OnGameEvent(GameEvent event, int32_t slot) override;

 private:
  // The last game ended, while it may be kept.
  struct Ended {
    std::string recording{};
    std::string stamp{};
    std::optional<KeptGame> kept{};
  };

  SessionRecorder recorder_;
  bool keepGames_;
  // The game's own recording, from the state its start command started it from, so a kept
  // game replays in its own length to its own final state line (its ticks and effects counted
  // from that command). Writes nothing outside a game.
  SessionRecorder game_{nullptr, false};
  uint64_t gameTicks_ = 0;
  PlayedSounds gameSounds_;
  int width_ = 0;  // the last size the window was given, if any
  int height_ = 0;
  bool sized_ = false;
  GameResults results_;
  bool counting_ = false;  // the tick under way belongs to a running game
  bool grounded_ = false;  // a missile of this game reached the ground
  int32_t bestBefore_ = 0;
  Ended ended_;
  CharacterCounter characters_;
  PlayerHistory history_;
  bool historyNotKept_ = false;
};
