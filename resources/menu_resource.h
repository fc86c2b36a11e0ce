// The menu bar and the accelerator table as data, shared by the menu model and every front end.
#pragma once

#include <cstdint>

// One popup item. A separator has id 0 and no text. Texts are UTF-8; '&' marks the mnemonic,
// the same letter in both languages.
struct MenuResourceItem {
  const char* text;  // Japanese, as the menu has always read
  uint16_t id;
  bool checked;  // as the resource starts it
  bool greyed;
  const char* keys;     // the key that gives the command, as the menu shows it; nullptr for none
  const char* english;  // the same item for a player whose system is not Japanese
};

struct MenuResourcePopup {
  const char* text;
  const MenuResourceItem* items;
  int count;
  const char* english;
};

// What an item's mark means: a command carries none (its check stays off), a check item is on
// or off by itself, and of a menu's radio items just one is on.
enum class MenuItemKind : uint8_t { kCommand, kCheck, kRadio };
MenuItemKind MenuItemKindOf(uint16_t id);

// The language the menus are shown in: Japanese on a Japanese system, English elsewhere.
enum class MenuLanguage { kJapanese, kEnglish };

template <typename Entry>
const char* MenuText(const Entry& entry, MenuLanguage language) {
  return language == MenuLanguage::kJapanese ? entry.text : entry.english;
}

constexpr int kMenuPopupCount = 4;
extern const MenuResourcePopup kMenuResource[kMenuPopupCount];

// The menu bar as every front end shows it: the four menus, then help and about, which the
// shell answers without the rules.
constexpr int kMenuBarCount = kMenuPopupCount + 1;
extern const MenuResourcePopup* const kMenuBar[kMenuBarCount];

// Virtual-key codes as the original platform numbers them.
struct AcceleratorEntry {
  uint16_t virtualKey;
  uint16_t command;
};

constexpr int kAcceleratorCount = 7;
extern const AcceleratorEntry kAcceleratorTable[kAcceleratorCount];
