// Menu 105 and accelerator table 107: texts, command identifiers and starting item states.
#include "resources/menu_resource.h"

#include "resources/command_ids.h"

namespace {

const MenuResourceItem kFileItems[] = {
    {"スタート(&S)", kCmdStart, false, false}, {"一時停止(&P)", kCmdPause, false, true},
    {"ストップ(&T)", kCmdStop, false, true},   {nullptr, 0, false, false},
    {"終了(&X)", kCmdExit, false, false},
};

const MenuResourceItem kModeItems[] = {
    {"アルファベット：大文字(&U)", kCmdUpper, true, false},
    {"アルファベット：小文字(&L)", kCmdLower, false, false},
    {"数字(&N)", kCmdDigit, false, false},
    {"記号(&K)", kCmdSymbol, false, false},
    {"カナ(&A)", kCmdKana, false, false},
};

const MenuResourceItem kLevelItems[] = {
    {"Level &1", kCmdLevel1, true, false},      {"Level &2", kCmdLevel1 + 1, false, false},
    {"Level &3", kCmdLevel1 + 2, false, false}, {"Level &4", kCmdLevel1 + 3, false, false},
    {"Level &5", kCmdLevel5, false, false},
};

const MenuResourceItem kOptionItems[] = {
    {"効果音(&S)", kCmdSound, true, false},
    {"多弾頭ミサイル(&M)", kCmdMirv, true, false},
};

template <int N>
constexpr MenuResourcePopup Popup(const char* text, const MenuResourceItem (&items)[N]) {
  return {text, items, N};
}

}  // namespace

const MenuResourcePopup kMenuResource[kMenuPopupCount] = {
    Popup("ファイル(&F)", kFileItems),
    Popup("モード(&M)", kModeItems),
    Popup("レベル(&L)", kLevelItems),
    Popup("オプション(&O)", kOptionItems),
};

const AcceleratorEntry kAcceleratorTable[kAcceleratorCount] = {
    {0x71, kCmdStart}, {0x72, kCmdPause},  {0x61, kCmdUpper}, {0x62, kCmdLower},
    {0x63, kCmdDigit}, {0x64, kCmdSymbol}, {0x65, kCmdKana},
};
