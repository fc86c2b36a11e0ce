// The sound output a front end provides: plays one of the game's effects.
#pragma once

#include "render/handles.h"
#include "resources/sound_effects.h"

// Plays an effect once, without waiting, cutting off the one still playing.
class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  virtual void Play(SoundEffect effect) = 0;
};
