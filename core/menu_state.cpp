// Check marks and greyed states of the menu items for a running game and for the demonstration.
#include "core/menu_state.h"

#include "resources/command_ids.h"

namespace {

// The level items, whose identifiers follow one another.
constexpr uint16_t kLevelIds[] = {kCmdLevel1, kCmdLevel1 + 1, kCmdLevel1 + 2, kCmdLevel1 + 3,
                                  kCmdLevel5};
// The class items in menu order, not identifier order.
constexpr uint16_t kClassIds[] = {kCmdUpper, kCmdLower, kCmdDigit, kCmdSymbol, kCmdKana};

void SetGreyed(const uint16_t (&ids)[5], bool greyed) {
  for (uint16_t id : ids) SetMenuGreyed(id, greyed);
}

}  // namespace

MenuItemState* FindMenuItem(uint16_t id) {
  for (MenuItemState& item : menuModel.items) {
    if (item.id == id) return &item;
  }
  return nullptr;
}

void SetMenuCheck(uint16_t id, bool checked) {
  if (MenuItemState* item = FindMenuItem(id)) item->checked = checked ? 1 : 0;
}

void SetMenuGreyed(uint16_t id, bool greyed) {
  if (MenuItemState* item = FindMenuItem(id)) item->greyed = greyed ? 1 : 0;
}

void SetMenuForGame() {
  SetMenuCheck(kCmdPause, false);
  SetGreyed(kLevelIds, true);
  SetMenuGreyed(kCmdStart, true);
  SetMenuGreyed(kCmdPause, false);
  SetMenuGreyed(kCmdStop, false);
  SetGreyed(kClassIds, true);
}

// A game stopped while paused keeps Pause greyed with its check mark on.
void SetMenuForDemonstration() {
  SetGreyed(kLevelIds, false);
  SetMenuGreyed(kCmdStart, false);
  SetMenuGreyed(kCmdPause, true);
  SetMenuGreyed(kCmdStop, true);
  SetGreyed(kClassIds, false);
}
