// The alphabet and its classes: building the look-up tables and the class-mask rules.
#include "core/alphabet.h"

// Upper, lower, digits, 30 symbols, then 41 half-width katakana (no RA row, no small kana).
const char kAlphabet[kSlotCount] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    "abcdefghijklmnopqrstuvwxyz"
    "0123456789"
    "!\"#$%&'()=~|@[;:],./\\`{+*}<>?_"
    "\xB1\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA\xBB\xBC\xBD\xBE\xBF\xC0\xC1\xC2\xC3"
    "\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6"
    "\xDC\xA6\xDD";

namespace {

int32_t ScanTo(int32_t from, unsigned char marker) {
  while (static_cast<unsigned char>(kAlphabet[from]) != marker) ++from;
  return from;
}

}  // namespace

// Each class starts at its first marker character and ends one slot before the next class.
void BuildCharTables() {
  for (int32_t i = 0; kAlphabet[i] != '\0'; ++i) {
    charToSlot[static_cast<unsigned char>(kAlphabet[i])] = static_cast<uint32_t>(i);
  }
  const unsigned char starts[kClassCount] = {'A', 'a', '0', '!', 0xB1};
  int32_t slot = 0;
  classRanges[Upper].first = 0;
  for (int32_t c = Lower; c < kClassCount; ++c) {
    slot = ScanTo(slot, starts[c]);
    classRanges[c].first = slot;
    classRanges[c - 1].last = slot - 1;
  }
  classRanges[Kana].last = ScanTo(slot, 0xDD);
}

uint32_t SlotForChar(uint32_t code) {
  return code < 256 ? charToSlot[code] : 0;
}

bool SlotEnabled(int32_t slot) {
  for (int32_t c = Upper; c < kClassCount; ++c) {
    if ((gameState.modeMask & (1u << c)) && slot >= classRanges[c].first &&
        slot <= classRanges[c].last) {
      return true;
    }
  }
  return false;
}

void ComputeCapacity() {
  int32_t capacity = 0;
  for (int32_t c = Upper; c < kClassCount; ++c) {
    if (gameState.modeMask & (1u << c)) capacity += kClassSizes[c];
  }
  gameState.missileCapacity = capacity;
}

bool ToggleClass(uint8_t bit) {
  if ((gameState.modeMask & bit) && (gameState.modeMask & ~bit)) {
    gameState.modeMask = static_cast<uint8_t>(gameState.modeMask & ~bit);
    return false;
  }
  gameState.modeMask = static_cast<uint8_t>(gameState.modeMask | bit);
  return true;
}
