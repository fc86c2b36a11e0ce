// PlayEffect: effects sound only while a game runs and the sound option is on.
#include "render/sound.h"

#include "core/records.h"

SoundOutput* soundOutput = nullptr;

void PlayEffect(const char* name) {
  if (gameState.gameOver == 0 && gameState.soundOn != 0 && soundOutput != nullptr) {
    soundOutput->Play(name);
  }
}
