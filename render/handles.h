// The platform handles every drawing and sound call goes through, held in one record.
//
// They are what the front end lends the game (its window picture, the sheet made beside it,
// its sound output) and the scratch the drawing keeps; ResetPlatformHandles() returns them
// all to program start, as ResetAllRecords() does for the rules' records.
#pragma once

class Canvas;
class SoundOutput;

// The flush text with both numbers at their widest 32-bit form is 38 characters, longer than
// the score text's 32; one more for the zero.
constexpr int kStatusTextSize = 39;

struct PlatformHandles {
  Canvas* windowDC = nullptr;             // the window's picture; nullptr until start-up has one
  Canvas* sheetDC = nullptr;              // the sprite sheet, made beside the window picture
  SoundOutput* soundOutput = nullptr;     // plays the effects; nullptr plays nothing
  char statusText[kStatusTextSize] = {};  // the status-bar text being drawn
};

extern PlatformHandles platformHandles;

// Drawing and sound name the handles directly; these are the members above.
inline constexpr Canvas*& windowDC = platformHandles.windowDC;
inline constexpr Canvas*& sheetDC = platformHandles.sheetDC;
inline constexpr SoundOutput*& soundOutput = platformHandles.soundOutput;

// Forgets every handle and every glyph the glyph sources have rendered; nothing is drawn or played
// until start-up hands out new ones. The objects themselves belong to the front end and are not
// deleted.
void ResetPlatformHandles();
