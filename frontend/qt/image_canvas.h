// The game's pixel canvas with Qt's glyphs, shown by a Qt widget as a QImage.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>

#include "render/pixel_canvas.h"

class ImageCanvas : public PixelCanvas {
 public:
  // A black picture of the given size (each side at least 0 and at most kMaxSide).
  ImageCanvas(int width, int height);

  // The picture as it is now, sharing the canvas's pixels: valid until the next Resize.
  QImage image() const;

  // What was drawn since the last call, so a window need show only that (see TakeDirtyRects).
  QRegion TakeDirtyRegion();
};

// A canvas's pixels as a read-only image sharing them (a null image for an empty picture).
QImage ImageOf(const PixelCanvas& canvas);
