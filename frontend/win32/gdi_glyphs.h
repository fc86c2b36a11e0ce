// The game's two faces rendered by GDI glyph by glyph, for the shell's cards.
#pragma once

#include "render/pixel_canvas.h"

// One source for the whole run; the fonts are GdiCanvas's own.
GlyphSource& GdiGlyphs();
