// The game's two fonts as Qt fonts, their glyphs rendered by Qt, and the game's pixel canvas
// with those glyphs, shown by a Qt widget as a QImage.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QRegion>

#include "render/pixel_canvas.h"
#include "render/text_box.h"

// The face asked for ("Century" or the Mincho face, resolved to the installed stand-ins), bold,
// 24 pixels, never antialiased, so that text keeps the exact colours it is drawn in.
QFont GameFont(FontId font);

// The character box of `font`, kept within the 32-pixel status band.
TextBox TextBoxOf(const QFont& font);

// One source for every canvas of the process: glyphs are rendered once, whichever picture
// asks first.
GlyphSource& QtGlyphs();

class ImageCanvas : public PixelCanvas {
 public:
  // A black picture of the given size (each side at least 0 and at most kMaxSide).
  ImageCanvas(int width, int height);

  // What was drawn since the last call, so a window need show only that (see TakeDirtyRects).
  QRegion TakeDirtyRegion();
};

// A canvas's pixels as a read-only image sharing them (a null image for an empty picture):
// valid until the next Resize.
QImage ImageOf(const PixelCanvas& canvas);
