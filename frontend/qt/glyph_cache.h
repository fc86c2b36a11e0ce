// The glyphs of the game's two fonts, each rendered once and then drawn by copying its pixels.
#pragma once

#include <vector>

#include "frontend/qt/game_fonts.h"
#include "render/canvas.h"

// A horizontal run of ink pixels, relative to the pen on the baseline.
struct InkRun {
  int dy;
  int dx;
  int length;
};

struct Glyph {
  int advance = 0;          // how far the pen moves after the glyph
  std::vector<InkRun> ink;  // the glyph's pixels, row by row
};

// The glyph of `code` in `font`, rendered without antialiasing the first time it is asked for.
const Glyph& CachedGlyph(FontId font, char32_t code);

// The character box of `font`, worked out once.
const TextBox& CachedTextBox(FontId font);
