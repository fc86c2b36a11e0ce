// The pixel canvas seen as a QImage, and what of it the window must show anew.
#include "frontend/qt/image_canvas.h"

#include "frontend/qt/qt_glyph_source.h"

ImageCanvas::ImageCanvas(int width, int height)
    : PixelCanvas(width, height, PixelOrder::kArgb, QtGlyphs()) {}

QImage ImageCanvas::image() const {
  return ImageOf(*this);
}

QRegion ImageCanvas::TakeDirtyRegion() {
  QRegion region;
  for (const PixelRect& rect : TakeDirtyRects()) {
    region += QRect(rect.left, rect.top, rect.width, rect.height);
  }
  return region;
}

// Format_RGB32 is the canvas's 0xAARRGGBB order on any machine.
QImage ImageOf(const PixelCanvas& canvas) {
  if (canvas.width() == 0 || canvas.height() == 0) return {};
  return QImage(reinterpret_cast<const uchar*>(canvas.pixels()), canvas.width(), canvas.height(),
                canvas.width() * 4, QImage::Format_RGB32);
}
