// The game's canvas over a QImage: the window picture, and the sprite sheet it copies from.
#pragma once

#include <QImage>
#include <QRect>
#include <functional>
#include <memory>
#include <vector>

#include "frontend/qt/glyph_cache.h"
#include "render/canvas.h"

class ImageCanvas : public Canvas {
 public:
  // Pictures larger than this on a side are cut to it; the game still sees the size asked
  // for and whatever falls outside is clipped, as it would be beyond the window's edge.
  static constexpr int kMaxSide = 8192;

  // A black picture of the given size (each side at least 0 and at most kMaxSide).
  ImageCanvas(int width, int height);

  // A new size; the part of the old picture that still fits stays, the rest is black.
  void Resize(int width, int height);

  // Called by Present(); the window shows the picture from it.
  void SetPresentHandler(std::function<void()> handler) { present_ = std::move(handler); }

  const QImage& image() const { return image_; }

  // The bounding rectangle of what was drawn since the last call, so a window need show only
  // that. One rectangle, because each one sent to a display costs more than the pixels
  // between several.
  QRect TakeDirtyRect();
  const ImageCanvas* sheet() const { return sheet_.get(); }

  Canvas* CreateSheet(int width, int height) override;
  void DrawPixelRow(int x, int y, const Colour* colours, int count) override;
  void SelectFont(FontId font) override;
  void CopyFromSheet(int x, int y, int width, int height, int sheetX, int sheetY, RasterOp op,
                     Colour pattern) override;
  void FillRectangle(int left, int top, int right, int bottom, Colour colour) override;
  void DrawOpaqueText(int x, int y, int align, const char* text, int length, Colour foreground,
                      Colour background) override;
  void DrawUpperHalfCircle(int cx, int cy, int r, Colour pen) override;
  void Present() override;

 private:
  // Rows of 32-bit pixels, addressed once per operation rather than once per row.
  struct Pixels {
    QRgb* base;
    qsizetype stride;
    QRgb* Row(int64_t y) const { return base + y * stride; }
  };
  Pixels Writable();

  static void DrawInk(const Pixels& pixels, const std::vector<InkRun>& ink, int penX, int baseline,
                      const QRect& clip, QRgb colour);

  void MarkDirty(const QRect& rect) {
    if (!rect.isEmpty()) dirty_ |= rect;
  }

  QImage image_;
  QRect dirty_;
  std::unique_ptr<ImageCanvas> sheet_;
  FontId font_ = FontId::kTextFont;
  std::function<void()> present_;
};
