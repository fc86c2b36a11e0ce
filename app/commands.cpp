// The menu commands: start, pause, stop, exit, level, classes, sound and multiple warheads.
#include "app/commands.h"

#include "core/alphabet.h"
#include "core/game.h"
#include "core/menu_state.h"
#include "core/records.h"
#include "render/draw.h"
#include "resources/command_ids.h"

namespace {

struct ClassItem {
  uint16_t id;
  uint8_t bit;
};
constexpr ClassItem kClassItems[] = {
    {kCmdUpper, 1}, {kCmdLower, 2}, {kCmdDigit, 4}, {kCmdSymbol, 8}, {kCmdKana, 16}};

int32_t Flipped(int32_t flag) {
  return flag == 0 ? 1 : 0;
}

// The field is cleared even when the mask did not change (the last class chosen again).
void ChooseClass(const ClassItem& item) {
  SetMenuCheck(item.id, ToggleClass(item.bit));
  ComputeCapacity();
  ClearField();
}

bool ChooseClassItem(uint16_t id) {
  for (const ClassItem& item : kClassItems) {
    if (item.id == id) {
      ChooseClass(item);
      return true;
    }
  }
  return false;
}

}  // namespace

void OnCommand(uint16_t id) {
  if (id >= kCmdLevel1 && id <= kCmdLevel5) {
    SelectLevel(id - kCmdLevel1 + 1);
    return;
  }
  if (ChooseClassItem(id)) return;
  switch (id) {
    case kCmdExit:
      gameState.quit = 1;
      break;
    case kCmdStart:
      StartGame();
      SetMenuForGame();
      break;
    case kCmdPause:
      TogglePause();
      SetMenuCheck(kCmdPause, gameState.paused == 1);
      break;
    case kCmdSound:
      gameState.soundOn = Flipped(gameState.soundOn);
      SetMenuCheck(kCmdSound, gameState.soundOn != 0);
      break;
    case kCmdStop:
      EndGame();
      break;
    case kCmdMirv:
      gameState.mirvOn = Flipped(gameState.mirvOn);
      SetMenuCheck(kCmdMirv, gameState.mirvOn != 0);
      break;
    default:
      break;
  }
}

void SelectLevel(int32_t n) {
  gameState.level = n;
  for (int32_t level = 1; level <= kLevelCount; ++level) {
    SetMenuCheck(static_cast<uint16_t>(kCmdLevel1 + level - 1), level == n);
  }
  DrawStatusBar(gameState, fieldGeometry);
}

void CheckMenuFromSettings() {
  for (const ClassItem& item : kClassItems) {
    SetMenuCheck(item.id, (gameState.modeMask & item.bit) != 0);
  }
  for (int32_t level = 1; level <= kLevelCount; ++level) {
    SetMenuCheck(static_cast<uint16_t>(kCmdLevel1 + level - 1), gameState.level == level);
  }
  SetMenuCheck(kCmdSound, gameState.soundOn != 0);
  SetMenuCheck(kCmdMirv, gameState.mirvOn != 0);
}
