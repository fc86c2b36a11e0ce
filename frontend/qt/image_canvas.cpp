// Drawing into a QImage: sheet copies with the three raster operations, fills, text and arcs.
#include "frontend/qt/image_canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "render/text_codes.h"

namespace {

constexpr QRgb kOpaque = 0xFF000000;

QRgb ToRgb(Colour c) {
  return qRgb(c.r, c.g, c.b);
}

int ClampSide(int side) {
  return std::clamp(side, 0, ImageCanvas::kMaxSide);
}

QImage BlackImage(int width, int height) {
  QImage image(ClampSide(width), ClampSide(height), QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

// A rectangle cut to the picture; empty when nothing of it is inside.
struct Span {
  int left, top, right, bottom;
  bool Empty() const { return left >= right || top >= bottom; }
};

Span ClipTo(const QImage& image, int left, int top, int right, int bottom) {
  return {std::max(left, 0), std::max(top, 0), std::min(right, image.width()),
          std::min(bottom, image.height())};
}

QRgb* Row(QImage& image, int y) {
  return reinterpret_cast<QRgb*>(image.scanLine(y));
}

const QRgb* Row(const QImage& image, int y) {
  return reinterpret_cast<const QRgb*>(image.constScanLine(y));
}

// Source AND NOT pattern on the colour values, which turns yellow on a green pattern into red.
void CopyRowAndNot(QRgb* to, const QRgb* from, int count, QRgb pattern) {
  const QRgb mask = ~pattern & 0x00FFFFFF;
  for (int i = 0; i < count; ++i) to[i] = (from[i] & mask) | kOpaque;
}

void CopyRow(QRgb* to, const QRgb* from, int count, RasterOp op, QRgb pattern) {
  switch (op) {
    case RasterOp::kSourceCopy:
      std::copy(from, from + count, to);
      break;
    case RasterOp::kBlackness:
      std::fill(to, to + count, kOpaque);
      break;
    case RasterOp::kSourceAndNotPattern:
      CopyRowAndNot(to, from, count, pattern);
      break;
  }
}

int TextLeft(int x, int align, int width) {
  if ((align & kAlignCenter) == kAlignCenter) return x - width / 2;
  if ((align & kAlignRight) == kAlignRight) return x - width;
  return x;
}

}  // namespace

ImageCanvas::ImageCanvas(int width, int height) : image_(BlackImage(width, height)) {
  SelectFont(FontId::kTextFont);
}

void ImageCanvas::Resize(int width, int height) {
  QImage resized = BlackImage(width, height);
  QPainter painter(&resized);
  painter.drawImage(0, 0, image_);
  painter.end();
  image_ = std::move(resized);
}

Canvas* ImageCanvas::CreateSheet(int width, int height) {
  sheet_ = std::make_unique<ImageCanvas>(width, height);
  return sheet_.get();
}

void ImageCanvas::DrawPixelRow(int x, int y, const Colour* colours, int count) {
  if (y < 0 || y >= image_.height()) return;
  QRgb* row = Row(image_, y);
  for (int i = std::max(0, -x); i < count && x + i < image_.width(); ++i) {
    row[x + i] = ToRgb(colours[i]);
  }
}

void ImageCanvas::SelectFont(FontId font) {
  font_ = GameFont(font);
  box_ = TextBoxOf(font_);
}

// Both rectangles are cut so that every pixel read lies in the sheet and every pixel written
// lies in the picture; blackness reads nothing, so only the picture cuts it. The edges are
// worked out in 64 bits so that no position near the limits of int can wrap.
void ImageCanvas::CopyFromSheet(int x, int y, int width, int height, int sheetX, int sheetY,
                                RasterOp op, Colour pattern) {
  const bool readsSheet = op != RasterOp::kBlackness;
  if (readsSheet && !sheet_) return;
  int64_t skipX = std::max<int64_t>(0, -int64_t{x});
  int64_t skipY = std::max<int64_t>(0, -int64_t{y});
  int64_t right = std::min<int64_t>(int64_t{x} + width, image_.width());
  int64_t bottom = std::min<int64_t>(int64_t{y} + height, image_.height());
  if (readsSheet) {
    skipX = std::max<int64_t>(skipX, -int64_t{sheetX});
    skipY = std::max<int64_t>(skipY, -int64_t{sheetY});
    right = std::min<int64_t>(right, int64_t{x} + SheetImage().width() - sheetX);
    bottom = std::min<int64_t>(bottom, int64_t{y} + SheetImage().height() - sheetY);
  }
  const int64_t count = right - (x + skipX);
  if (count <= 0) return;
  for (int64_t row = y + skipY; row < bottom; ++row) {
    const QRgb* from = readsSheet
                           ? Row(SheetImage(), static_cast<int>(sheetY + row - y)) + sheetX + skipX
                           : nullptr;
    CopyRow(Row(image_, static_cast<int>(row)) + x + skipX, from, static_cast<int>(count), op,
            ToRgb(pattern));
  }
}

void ImageCanvas::FillRectangle(int left, int top, int right, int bottom, Colour colour) {
  const Span span = ClipTo(image_, left, top, right, bottom);
  if (span.Empty()) return;
  for (int y = span.top; y < span.bottom; ++y) {
    std::fill(Row(image_, y) + span.left, Row(image_, y) + span.right, ToRgb(colour));
  }
}

// The box is as wide as the text's advance and as tall as the font's text box; the glyphs are
// clipped to it, so a face with long strokes cannot reach beyond the box it paints.
void ImageCanvas::DrawOpaqueText(int x, int y, int align, const char* text, int length,
                                 Colour foreground, Colour background) {
  if (length <= 0 || image_.isNull()) return;
  std::vector<char32_t> codes(static_cast<size_t>(length));
  const QString string = QString::fromUcs4(codes.data(), DecodeCp932(text, length, codes.data()));
  const int width = QFontMetrics(font_).horizontalAdvance(string);
  const int height = box_.ascent + box_.descent;
  const int left = TextLeft(x, align, width);
  const int top = (align & kAlignBottom) ? y - height : y;
  FillRectangle(left, top, left + width, top + height, background);
  QPainter painter(&image_);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.setClipRect(left, top, width, height);
  painter.setFont(font_);
  painter.setPen(QColor(ToRgb(foreground)));
  painter.drawText(QPoint(left, top + box_.ascent), string);
}

// Midpoint circle, the four octants at or above the centre row: from (cx + r, cy) over the
// top to (cx - r, cy).
void ImageCanvas::DrawUpperHalfCircle(int cx, int cy, int r, Colour pen) {
  if (r < 0) return;
  const QRgb colour = ToRgb(pen);
  int x = r;
  int y = 0;
  int decision = 1 - r;
  while (y <= x) {
    Plot(cx + x, cy - y, colour);
    Plot(cx - x, cy - y, colour);
    Plot(cx + y, cy - x, colour);
    Plot(cx - y, cy - x, colour);
    ++y;
    if (decision < 0) {
      decision += 2 * y + 1;
    } else {
      --x;
      decision += 2 * (y - x) + 1;
    }
  }
}

void ImageCanvas::Present() {
  if (present_) present_();
}

void ImageCanvas::Plot(int x, int y, QRgb colour) {
  if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
  Row(image_, y)[x] = colour;
}
