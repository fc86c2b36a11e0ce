// When a sound effect plays: only while a game runs and the sound option is on.
#pragma once

// Hands the effect file `name` to the platform's sound output, or does nothing in the
// demonstration and with the sound option off.
void PlayEffect(const char* name);
