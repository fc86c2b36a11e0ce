// The five sound effects and the one table of their file names, shared by the rules, the sound
// outputs, the page and the generator that synthesises them.
#pragma once

#include <iterator>

// In the order of kSoundEffectFiles.
enum class SoundEffect { kStart, kBingo, kMiss, kFlush, kGameOver };

// The build reads the names from this table too, so each is written out only here.
inline constexpr const char* kSoundEffectFiles[] = {"start.wav", "bingo.wav", "miss.wav",
                                                    "flush.wav", "gameover.wav"};
inline constexpr int kSoundEffectCount = static_cast<int>(std::size(kSoundEffectFiles));

constexpr const char* SoundEffectFile(SoundEffect effect) {
  return kSoundEffectFiles[static_cast<int>(effect)];
}
