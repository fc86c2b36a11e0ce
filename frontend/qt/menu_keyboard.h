// Keeps the keyboard with the playing field unless a menu is visibly open.
#pragma once

class QMenuBar;
class QWidget;

// Qt leaves the menu bar holding the keyboard after a menu is closed with Esc, or after Alt is
// tapped alone, without showing it: the next letters would act as menu mnemonics instead of
// reaching the game. From now on the keyboard goes back to `field` as soon as no menu is open,
// and a key the menu bar receives with no menu open is handed to `field`. Alt with a letter
// still opens its menu. Call after the menus have been added to `menuBar`.
void KeepKeyboardInField(QMenuBar* menuBar, QWidget* field);
