// The one definition of every global record, and their program-start values.
#include "core/records.h"

#include <utility>

#include "render/text_box.h"
#include "resources/menu_resource.h"

GameRecords records;

namespace {

void ResetGameState() {
  gameState.flushesLeft = 3;
  gameState.level = 1;
  gameState.missileCapacity = 26;
  gameState.gameOver = 1;
  gameState.soundOn = 1;
  gameState.mirvOn = 1;
  gameState.modeMask = 1;
}

void ResetFieldGeometry() {
  fieldGeometry.fieldWidth = 640;
  fieldGeometry.fieldHeight = 448;
  fieldGeometry.statusHeight = kStatusBandHeight;
  fieldGeometry.groundY = fieldGeometry.fieldTop + fieldGeometry.fieldHeight;
  fieldGeometry.fieldRight = fieldGeometry.fieldLeft + fieldGeometry.fieldWidth;
  fieldGeometry.statusTop = fieldGeometry.groundY;
}

// The items with a command, in ascending identifier order, as the menu resource starts them.
void ResetMenuModel() {
  int count = 0;
  for (const MenuResourcePopup& popup : kMenuResource) {
    for (int i = 0; i < popup.count; ++i) {
      const MenuResourceItem& item = popup.items[i];
      if (item.id == 0 || count == kMenuItemCount) continue;
      menuModel.items[count++] = {item.id, item.checked, item.greyed};
    }
  }
  for (int i = 1; i < count; ++i) {
    for (int j = i; j > 0 && menuModel.items[j - 1].id > menuModel.items[j].id; --j) {
      std::swap(menuModel.items[j - 1], menuModel.items[j]);
    }
  }
}

}  // namespace

void ResetAllRecords() {
  records = GameRecords{};
  ResetGameState();
  ResetFieldGeometry();
  ResetMenuModel();
}
