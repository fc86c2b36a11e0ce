// The start-up order and the end of the program, the same for every front end.
#pragma once

#include <cstdint>
#include <string>

#include "resources/command_ids.h"

class Canvas;
class SoundOutput;

// What the front end brings to start-up. Each part that does not exist yet stays null.
struct StartUpParts {
  uint32_t seed = 1;               // the front end reads the clock; the rules never do
  Canvas* windowCanvas = nullptr;  // the window's picture
  SoundOutput* sound = nullptr;    // plays the effects
  // The settings file's text, read by the caller; null starts as if there were none.
  const std::string* settingsText = nullptr;
};

// Runs every start-up step in order, from seeding the generator to the first status bar.
// The records are not reset here: size messages may already have set the geometry.
void RunStartUp(const StartUpParts& parts);

// Gives a program that started without a window picture its picture: the sprite sheet, the
// window font and the glyph cells as start-up makes them, then the status bar. The rest of
// the field appears as the game next draws it.
void AttachWindowPicture(Canvas* window);

// How the program ended: by the player (the Exit command, closing the window) or from outside
// (a termination signal, the display connection lost, the desktop session ending, the page
// closed or left).
enum class ProgramEnd {
  kExitCommand,
  kWindowClosed,
  kSignal,
  kDisplayLost,
  kSessionEnded,
  kPageClosed
};

// The exit status after the Exit command is its identifier; a POSIX shell sees its low 8 bits,
// 78.
constexpr int kExitCommandCode = kCmdExit;

struct ProgramEnding {
  int exitCode;       // 0, or 40014 after the Exit command
  bool settingsKept;  // false when the settings file could not be written
};

// Writes the settings; the program then ends with the exit code given back.
ProgramEnding EndProgram(ProgramEnd how);
