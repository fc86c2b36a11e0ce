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

// The sprite sheet and the glyph cells come with the picture; until then those steps are
// left out and the order of the others stays as it is.
void StartUp(const StartUpPlatform& platform) {
  SeedRandom(platform.seed);
  windowDC = platform.windowCanvas;
  soundOutput = platform.sound;
  PrepareWindowDC();
  BuildCharTables();
  PlaceLaunchers();
  if (platform.readSettingsFile) {
    LoadSettings();
  } else {
    ApplyDefaultSettings();
  }
  ComputeCapacity();
  CheckMenuFromSettings();
  DrawStatusBar();
}

// A game still running is abandoned: its score never reaches the table.
int EndProgram(ProgramEnd how) {
  SaveSettings();
  return how == ProgramEnd::kExitCommand ? kExitCommandCode : 0;
}
