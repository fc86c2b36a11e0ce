// One game's own recording, from the state it started from to its end, so a kept game replays
// in its own length and to its own final state line.
#pragma once

#include <cstdint>
#include <string>

#include "app/recording.h"
#include "app/state_line.h"

// The last size the window was given, if any.
struct ClientSizeSeen {
  int width = 0;
  int height = 0;
  bool sized = false;
};

class GameRecording {
 public:
  // A start command is about to be handled: the recording begins with what the rules start it
  // from, the generator's state and the settings as they are now, and the window's size when
  // one was given (`sized`), then the command.
  void Begin(uint16_t startCommand, const ClientSizeSeen& size);
  bool Recording() const { return recording_; }

  // What happens in the game, as the session recorder takes it; nothing before Begin.
  void Tick();
  void Size(int width, int height);
  void Char(uint8_t code);
  void Command(uint16_t id);
  void Comment(std::string_view text);
  // The effects played since Begin (the sound output notes them here): the final state line
  // lists them.
  PlayedSounds& Sounds() { return sounds_; }

  // The game has ended: its recording up to here with its own final state line (its ticks and
  // effects counted from its start command), or empty when none is kept. Recording stops.
  std::string End();

 private:
  SessionRecorder recorder_{nullptr, true};
  PlayedSounds sounds_;
  uint64_t ticks_ = 0;
  bool recording_ = false;
};
