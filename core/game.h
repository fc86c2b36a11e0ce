// Game control: one tick, one typed character, the flush, start, pause and the end of a game.
#pragma once

#include <cstdint>

void OnTick();
void OnChar(uint32_t code);
void StartGame();
void TogglePause();
void EndGame();
void ClearField();

// A game is on the field (running or paused), not the demonstration.
bool GameRunning();
