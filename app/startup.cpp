// The start-up order shared by every front end, and the end of the program.
#include "app/startup.h"

#include "app/commands.h"
#include "app/settings.h"
#include "core/alphabet.h"
#include "core/geometry.h"
#include "core/random.h"
#include "render/canvas.h"
#include "render/draw.h"
#include "render/sound.h"
#include "render/sprite_sheet.h"

// The window's picture is made last, since none of the steps before it draws.
void RunStartUp(const StartUpParts& parts) {
  SeedRandom(parts.seed);
  soundOutput = parts.sound;
  BuildCharTables();
  PlaceLaunchers();
  if (parts.settingsText != nullptr) {
    ParseSettings(*parts.settingsText);
  } else {
    ApplyDefaultSettings();
  }
  ComputeCapacity();
  CheckMenuFromSettings();
  AttachWindowPicture(parts.windowCanvas);
}

void AttachWindowPicture(Canvas* window) {
  windowDC = window;
  CreateSpriteSheet();
  PrepareWindowDC();
  RenderGlyphCells(kAlphabet, classRanges);
  DrawStatusBar(gameState, fieldGeometry);
}

// A game still running is abandoned: its score never reaches the table.
ProgramEnding EndProgram(ProgramEnd how) {
  const bool kept = WriteSettingsFile();
  return {how == ProgramEnd::kExitCommand ? kExitCommandCode : 0, kept};
}
