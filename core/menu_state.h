// Check marks and greyed states of the menu items. The front end shows what menuModel holds.
//
// This lives beside the rules rather than with the menu commands because ending a game
// (which the missile pass can do) switches the items back to their demonstration states.
#pragma once

#include <cstdint>

#include "core/records.h"

// The item with this command identifier, or nullptr for identifiers without an item.
MenuItemState* FindMenuItem(uint16_t id);

void SetMenuCheck(uint16_t id, bool checked);
void SetMenuGreyed(uint16_t id, bool greyed);

// Item states while a game runs: levels, classes and Start greyed; Pause and Stop enabled.
void SetMenuForGame();

// Item states while no game runs; changes no check mark.
void SetMenuForDemonstration();
