// The menu commands and the check marks derived from the settings.
#pragma once

#include <cstdint>

// One menu command; identifiers without an item are ignored.
void OnCommand(uint16_t id);

// Level n (1..5): checks its item and redraws the status bar.
void SelectLevel(int32_t n);

// Check marks of the class, level and option items from the settings.
void CheckMenuFromSettings();
