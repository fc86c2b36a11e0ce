// The state line the scenario runner prints for `dump`, and a recorded session ends with.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "render/sound.h"
#include "resources/sound_effects.h"

// The effects played, in order, as a state line shows them: only the latest kKept names, so a
// long run of effects cannot make the line (or the memory that holds it) grow without end, and
// how many came before them.
struct PlayedSounds {
  static constexpr size_t kKept = 1000;

  void Add(const char* name);
  std::deque<std::string> latest{};
  uint64_t leftOut = 0;
};

// The front end's sound output, with every effect it is asked to play noted for the state
// line a recording ends with (and the one a game's own recording ends with); the output may be
// absent.
class NotedSound : public SoundOutput {
 public:
  void Play(SoundEffect effect) override {
    played.Add(SoundEffectFile(effect));
    if (game != nullptr) game->Add(SoundEffectFile(effect));
    if (output != nullptr) output->Play(effect);
  }
  SoundOutput* output = nullptr;
  PlayedSounds played;
  PlayedSounds* game = nullptr;
};

// One JSON object without a line end: the timer messages handled (`ticks`), the generator,
// the counters and options, the field, every missile and interceptor in play, the effects
// played (`sounds`, in order, after `soundsLeftOut` when some were left out) and the menu
// items, with keys in a fixed order.
std::string FormatStateLine(uint64_t ticks, const PlayedSounds& sounds);
