// The glyphs of the game's two fonts rendered by Qt, for the pixel canvas.
#pragma once

#include "render/pixel_canvas.h"

// One source for every canvas of the process: glyphs are rendered once, whichever picture
// asks first.
GlyphSource& QtGlyphs();
