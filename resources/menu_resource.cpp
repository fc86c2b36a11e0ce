// Menu 105 and accelerator table 107: texts, command identifiers and starting item states; each
// text beside it in English, with the same access key, for players of other languages.
#include "resources/menu_resource.h"

#include "resources/command_ids.h"

namespace {

const MenuResourceItem kFileItems[] = {
    {"スタート(&S)", kCmdStart, false, false, "F2", "&Start"},
    {"一時停止(&P)", kCmdPause, false, true, "F3", "&Pause"},
    {"ストップ(&T)", kCmdStop, false, true, nullptr, "S&top"},
    {nullptr, 0, false, false, nullptr, nullptr},
    {"終了(&X)", kCmdExit, false, false, nullptr, "E&xit"},
};

const MenuResourceItem kModeItems[] = {
    {"アルファベット：大文字(&U)", kCmdUpper, true, false, nullptr, "&Upper-case letters"},
    {"アルファベット：小文字(&L)", kCmdLower, false, false, nullptr, "&Lower-case letters"},
    {"数字(&N)", kCmdDigit, false, false, nullptr, "&Numbers"},
    {"記号(&K)", kCmdSymbol, false, false, nullptr, "Symbols (&K)"},
    {"カナ(&A)", kCmdKana, false, false, nullptr, "K&ana"},
};

const MenuResourceItem kLevelItems[] = {
    {"Level &1", kCmdLevel1, true, false, nullptr, "Level &1"},
    {"Level &2", kCmdLevel1 + 1, false, false, nullptr, "Level &2"},
    {"Level &3", kCmdLevel1 + 2, false, false, nullptr, "Level &3"},
    {"Level &4", kCmdLevel1 + 3, false, false, nullptr, "Level &4"},
    {"Level &5", kCmdLevel5, false, false, nullptr, "Level &5"},
};

const MenuResourceItem kOptionItems[] = {
    {"効果音(&S)", kCmdSound, true, false, nullptr, "&Sound effects"},
    {"多弾頭ミサイル(&M)", kCmdMirv, true, false, nullptr, "&Multiple-warhead missiles"},
};

const MenuResourceItem kHelpItems[] = {
    {"遊び方(&H)...", kCmdHowToPlay, false, false, "F1", "&How to play..."},
    {"成績(&P)...", kCmdProgress, false, false, "F4", "&Progress..."},
    {"バージョン情報(&A)...", kCmdAbout, false, false, nullptr, "&About..."},
};

template <int N>
constexpr MenuResourcePopup Popup(const char* text, const MenuResourceItem (&items)[N],
                                  const char* english) {
  return {text, items, N, english};
}

// The last menu, help and about, which the shell answers without the rules: it is not part of
// the menu the rules keep marks for.
const MenuResourcePopup kHelpMenu = Popup("ヘルプ(&H)", kHelpItems, "&Help");

}  // namespace

const MenuResourcePopup kMenuResource[kMenuPopupCount] = {
    Popup("ファイル(&F)", kFileItems, "&File"),
    Popup("モード(&M)", kModeItems, "&Mode"),
    Popup("レベル(&L)", kLevelItems, "&Level"),
    Popup("オプション(&O)", kOptionItems, "&Options"),
};

const MenuResourcePopup* const kMenuBar[kMenuBarCount] = {
    &kMenuResource[0], &kMenuResource[1], &kMenuResource[2], &kMenuResource[3], &kHelpMenu,
};

// The levels are one choice of five; the character classes are chosen each on its own.
MenuItemKind MenuItemKindOf(uint16_t id) {
  if (id >= kCmdLevel1 && id <= kCmdLevel5) return MenuItemKind::kRadio;
  switch (id) {
    case kCmdPause:
    case kCmdUpper:
    case kCmdLower:
    case kCmdDigit:
    case kCmdSymbol:
    case kCmdKana:
    case kCmdSound:
    case kCmdMirv:
      return MenuItemKind::kCheck;
    default:
      return MenuItemKind::kCommand;
  }
}

const AcceleratorEntry kAcceleratorTable[kAcceleratorCount] = {
    {0x71, kCmdStart}, {0x72, kCmdPause},  {0x61, kCmdUpper}, {0x62, kCmdLower},
    {0x63, kCmdDigit}, {0x64, kCmdSymbol}, {0x65, kCmdKana},
};
