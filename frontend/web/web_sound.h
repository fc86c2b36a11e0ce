// The five effects through the page's Web Audio player.
#pragma once

#include "render/sound.h"

// Plays through the page, which starts its audio at the first key or click (browsers allow
// sound only after one) and plays one effect at a time.
class WebSound : public SoundOutput {
 public:
  // Has the page fetch every effect's file, so the first hit is not late.
  WebSound();
  void Play(SoundEffect effect) override;
};
