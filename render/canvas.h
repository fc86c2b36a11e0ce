// The drawing interface every front end implements, and windowDC, the window's picture.
#pragma once

#include <cstdint>

struct Colour {
  uint8_t r;
  uint8_t g;
  uint8_t b;
  bool operator==(const Colour&) const = default;
};

constexpr Colour kBlack{0, 0, 0};
constexpr Colour kRed{255, 0, 0};
constexpr Colour kGreen{0, 255, 0};
constexpr Colour kYellow{255, 255, 0};
constexpr Colour kBlue{0, 0, 255};
constexpr Colour kWhite{255, 255, 255};

// The three raster operations the game copies with.
enum class RasterOp {
  kSourceCopy,          // the sheet's pixels as they are
  kBlackness,           // black; the sheet is not read
  kSourceAndNotPattern  // sheet AND NOT pattern colour, per colour value
};

// Text alignment flags; the reference point is on the text box's edge the flags name.
constexpr int kAlignLeft = 0;
constexpr int kAlignRight = 2;
constexpr int kAlignCenter = 6;
constexpr int kAlignBottom = 8;

// The two fonts, both bold at a character height of 24 pixels: the window's font, which also
// draws the Latin glyph cells, and the Mincho face of the katakana glyph cells.
enum class FontId { kTextFont, kKanaFont };

// A picture the game draws on. Everything clips to the picture.
class Canvas {
 public:
  virtual ~Canvas() = default;

  // Makes the sprite sheet that CopyFromSheet reads from: a black width x height picture of
  // the same kind, owned by this canvas.
  virtual Canvas* CreateSheet(int width, int height) = 0;

  // Sets `count` pixels of row y from x on.
  virtual void DrawPixelRow(int x, int y, const Colour* colours, int count) = 0;

  // The font DrawOpaqueText writes with from now on; the text font until another is chosen.
  virtual void SelectFont(FontId font) = 0;

  // Copies a width x height block of the sprite sheet at (sheetX, sheetY) to (x, y).
  virtual void CopyFromSheet(int x, int y, int width, int height, int sheetX, int sheetY,
                             RasterOp op, Colour pattern) = 0;

  // Fills columns left..right-1 and rows top..bottom-1.
  virtual void FillRectangle(int left, int top, int right, int bottom, Colour colour) = 0;

  // Text in code page 932 with its character box painted in the background colour, in the
  // selected font; (x, y) is the point on the box's edge that `align` names.
  virtual void DrawOpaqueText(int x, int y, int align, const char* text, int length,
                              Colour foreground, Colour background) = 0;

  // The upper half of the circle of radius r about (cx, cy), one pixel wide.
  virtual void DrawUpperHalfCircle(int cx, int cy, int r, Colour pen) = 0;

  // Ends one frame of an animation the rules draw within a single call (the impact dome), so a
  // canvas that paces such frames can tell them apart. A picture shown after every event
  // anyway passes it over.
  virtual void Present() {}
};

// windowDC, the window's picture, is one of the platform handles; drawing while it is absent
// does nothing.
#include "render/handles.h"
