// The game's two faces rendered by GDI glyph by glyph, for the picture and the shell's cards.
#pragma once

#include <windows.h>

#include "render/pixel_canvas.h"

// One source for the whole run.
GlyphSource& GdiGlyphs();

// The header of 32-bit pixels, 0x00RRGGBB, `height` rows of `width` with the top row first.
BITMAPINFO TopDownPixels(int width, int height);
