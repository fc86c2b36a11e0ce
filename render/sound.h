// The sound output a front end provides: plays a named effect file.
#pragma once

#include "render/handles.h"

// Plays a named effect once, without waiting, cutting off the one still playing.
class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  virtual void Play(const char* name) = 0;
};
