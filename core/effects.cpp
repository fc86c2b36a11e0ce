// The sound rule: the demonstration is silent, and so is a game with the sound option off.
#include "core/effects.h"

#include "core/records.h"
#include "render/sound.h"

void PlayEffect(SoundEffect effect) {
  if (gameState.gameOver == 0 && gameState.soundOn != 0 && soundOutput != nullptr) {
    soundOutput->Play(effect);
  }
}
