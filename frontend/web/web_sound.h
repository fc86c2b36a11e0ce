// The five effects through the page's Web Audio player.
#pragma once

#include "render/sound.h"

// Plays through the page, which starts its audio at the first key or click (browsers allow
// sound only after one) and plays one effect at a time.
class WebSound : public SoundOutput {
 public:
  void Play(const char* name) override;
};
