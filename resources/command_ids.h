// Command identifiers of the menu items; fixed values shared by the menu data and the rules.
#pragma once

#include <cstdint>

constexpr uint16_t kCmdLevel1 = 40007;  // levels 1..5 are 40007..40011
constexpr uint16_t kCmdLevel5 = 40011;
constexpr uint16_t kCmdExit = 40014;
constexpr uint16_t kCmdStart = 40015;
constexpr uint16_t kCmdPause = 40016;
constexpr uint16_t kCmdSound = 40018;
constexpr uint16_t kCmdStop = 40020;
constexpr uint16_t kCmdMirv = 40021;
constexpr uint16_t kCmdUpper = 40022;
constexpr uint16_t kCmdDigit = 40023;
constexpr uint16_t kCmdSymbol = 40024;
constexpr uint16_t kCmdKana = 40025;
constexpr uint16_t kCmdLower = 40026;

// The help menu's items, which the shell answers itself; the rules never see them.
constexpr uint16_t kCmdHowToPlay = 40027;
constexpr uint16_t kCmdAbout = 40028;
constexpr uint16_t kCmdProgress = 40029;
