// The game's two fonts drawn by the browser's canvas text, for the pixel canvas.
#pragma once

#include "render/pixel_canvas.h"

// One source for the window picture and its sprite sheet. The page must have loaded both
// faces before the first glyph is asked for.
GlyphSource& WebGlyphs();
