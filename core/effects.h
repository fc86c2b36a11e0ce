// When a sound effect plays: only while a game runs and the sound option is on.
#pragma once

#include "resources/sound_effects.h"

// Hands the effect to the platform's sound output, or does nothing in the demonstration and
// with the sound option off.
void PlayEffect(SoundEffect effect);
