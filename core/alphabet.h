// The alphabet, its five classes, the look-up from a typed code to a slot, and capacity.
#pragma once

#include <cstdint>

#include "core/records.h"

// 133 single-byte characters (code page 932) and a terminating zero; position = slot number.
extern const char kAlphabet[kSlotCount];

constexpr int32_t kClassSizes[kClassCount] = {26, 26, 10, 30, 41};

// Fills charToSlot and classRanges from the alphabet. Run once, before either is read.
void BuildCharTables();

// The slot of a typed character code; codes outside the alphabet, and every code above 255,
// give slot 0 (the slot of "A").
uint32_t SlotForChar(uint32_t code);

// True when the slot lies in a class whose bit is set in modeMask.
bool SlotEnabled(int32_t slot);

// missileCapacity = sum of the sizes of the enabled classes.
void ComputeCapacity();

// The class-item rule: clears bit unless it is the only one set, else sets it. Returns
// whether the item is to carry a check mark afterwards.
bool ToggleClass(uint8_t bit);
