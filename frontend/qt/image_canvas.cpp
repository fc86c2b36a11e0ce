// Drawing into a QImage: sheet copies with the three raster operations, fills, text and arcs.
#include "frontend/qt/image_canvas.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

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

// Source AND NOT pattern on the colour values, which turns yellow on a green pattern into red.
inline void CopyRow(QRgb* to, const QRgb* from, int count, RasterOp op, QRgb pattern) {
  switch (op) {
    case RasterOp::kSourceCopy:
      std::memcpy(to, from, sizeof(QRgb) * static_cast<size_t>(count));
      break;
    case RasterOp::kBlackness:
      std::fill(to, to + count, kOpaque);
      break;
    case RasterOp::kSourceAndNotPattern:
      for (int i = 0; i < count; ++i) to[i] = (from[i] & ~pattern) | kOpaque;
      break;
  }
}

// Whole sprites are the common case: with the width a constant, each row becomes a few moves.
template <typename Width>
void CopyRowsOf(Width width, QRgb* to, qsizetype toStride, const QRgb* from, qsizetype fromStride,
                int rows, RasterOp op, QRgb pattern) {
  for (int row = 0; row < rows; ++row) {
    CopyRow(to + row * toStride, from ? from + row * fromStride : nullptr, width, op, pattern);
  }
}

void CopyRows(QRgb* to, qsizetype toStride, const QRgb* from, qsizetype fromStride, int count,
              int rows, RasterOp op, QRgb pattern) {
  if (count == 32) {
    CopyRowsOf(std::integral_constant<int, 32>{}, to, toStride, from, fromStride, rows, op,
               pattern);
  } else if (count == 16) {
    CopyRowsOf(std::integral_constant<int, 16>{}, to, toStride, from, fromStride, rows, op,
               pattern);
  } else {
    CopyRowsOf(count, to, toStride, from, fromStride, rows, op, pattern);
  }
}

// The rectangle from (left, top) to (right, bottom), edges excluded, cut to a picture.
QRect ClippedRect(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t width,
                  int64_t height) {
  left = std::max<int64_t>(left, 0);
  top = std::max<int64_t>(top, 0);
  right = std::min(right, width);
  bottom = std::min(bottom, height);
  if (left >= right || top >= bottom) return {};
  return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
               static_cast<int>(bottom - top));
}

int TextLeft(int x, int align, int width) {
  if ((align & kAlignCenter) == kAlignCenter) return x - width / 2;
  if ((align & kAlignRight) == kAlignRight) return x - width;
  return x;
}

}  // namespace

ImageCanvas::ImageCanvas(int width, int height) : image_(BlackImage(width, height)) {}

void ImageCanvas::Resize(int width, int height) {
  QImage resized = BlackImage(width, height);
  const int rows = std::min(resized.height(), image_.height());
  const int columns = std::min(resized.width(), image_.width());
  for (int y = 0; y < rows; ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
    std::copy(from, from + columns, reinterpret_cast<QRgb*>(resized.scanLine(y)));
  }
  image_ = std::move(resized);
  MarkDirty(image_.rect());
}

QRect ImageCanvas::TakeDirtyRect() {
  return std::exchange(dirty_, QRect());
}

Canvas* ImageCanvas::CreateSheet(int width, int height) {
  sheet_ = std::make_unique<ImageCanvas>(width, height);
  return sheet_.get();
}

void ImageCanvas::DrawPixelRow(int x, int y, const Colour* colours, int count) {
  if (y < 0 || y >= image_.height()) return;
  QRgb* row = Writable().Row(y);
  for (int i = std::max(0, -x); i < count && x + i < image_.width(); ++i) {
    row[x + i] = ToRgb(colours[i]);
  }
  MarkDirty(QRect(x, y, count, 1) & image_.rect());
}

void ImageCanvas::SelectFont(FontId font) {
  font_ = font;
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
  const QImage* sheet = readsSheet ? &sheet_->image_ : nullptr;
  if (sheet != nullptr) {
    skipX = std::max<int64_t>(skipX, -int64_t{sheetX});
    skipY = std::max<int64_t>(skipY, -int64_t{sheetY});
    right = std::min<int64_t>(right, int64_t{x} + sheet->width() - sheetX);
    bottom = std::min<int64_t>(bottom, int64_t{y} + sheet->height() - sheetY);
  }
  const int64_t count = right - (x + skipX);
  const int64_t rows = bottom - (y + skipY);
  if (count <= 0 || rows <= 0) return;
  const Pixels to = Writable();
  const QRgb* from = nullptr;
  qsizetype fromStride = 0;
  if (sheet != nullptr) {
    fromStride = sheet->bytesPerLine() / 4;
    from = reinterpret_cast<const QRgb*>(sheet->constBits()) + (sheetY + skipY) * fromStride +
           sheetX + skipX;
  }
  CopyRows(to.Row(y + skipY) + x + skipX, to.stride, from, fromStride, static_cast<int>(count),
           static_cast<int>(rows), op, ToRgb(pattern));
  MarkDirty(QRect(static_cast<int>(x + skipX), static_cast<int>(y + skipY), static_cast<int>(count),
                  static_cast<int>(rows)));
}

void ImageCanvas::FillRectangle(int left, int top, int right, int bottom, Colour colour) {
  const QRect area = ClippedRect(left, top, right, bottom, image_.width(), image_.height());
  if (area.isEmpty()) return;
  const Pixels pixels = Writable();
  const QRgb rgb = ToRgb(colour);
  for (int y = area.top(); y <= area.bottom(); ++y) {
    std::fill(pixels.Row(y) + area.left(), pixels.Row(y) + area.left() + area.width(), rgb);
  }
  MarkDirty(area);
}

// The box is as wide as the glyphs' advances and as tall as the font's text box; the glyphs are
// clipped to it, so a face with long strokes cannot reach beyond the box it paints. Glyphs
// stand side by side without kerning.
void ImageCanvas::DrawOpaqueText(int x, int y, int align, const char* text, int length,
                                 Colour foreground, Colour background) {
  if (length <= 0) return;
  std::vector<char32_t> codes(static_cast<size_t>(length));
  codes.resize(static_cast<size_t>(DecodeCp932(text, length, codes.data())));
  std::vector<const Glyph*> glyphs;
  int width = 0;
  for (char32_t code : codes) {
    glyphs.push_back(&CachedGlyph(font_, code));
    width += glyphs.back()->advance;
  }
  const TextBox& box = CachedTextBox(font_);
  const int height = box.ascent + box.descent;
  const int left = TextLeft(x, align, width);
  const int top = (align & kAlignBottom) ? y - height : y;
  FillRectangle(left, top, left + width, top + height, background);
  const QRect clip = QRect(left, top, width, height).intersected(image_.rect());
  if (clip.isEmpty()) return;
  const Pixels pixels = Writable();
  int penX = left;
  for (const Glyph* glyph : glyphs) {
    DrawInk(pixels, glyph->ink, penX, top + box.ascent, clip, ToRgb(foreground));
    penX += glyph->advance;
  }
}

void ImageCanvas::DrawInk(const Pixels& pixels, const std::vector<InkRun>& ink, int penX,
                          int baseline, const QRect& clip, QRgb colour) {
  const int clipRight = clip.left() + clip.width();
  const int clipBottom = clip.top() + clip.height();
  for (const InkRun& run : ink) {
    const int py = baseline + run.dy;
    if (py < clip.top() || py >= clipBottom) continue;
    const int from = std::max(penX + run.dx, clip.left());
    const int to = std::min(penX + run.dx + run.length, clipRight);
    if (from < to) std::fill(pixels.Row(py) + from, pixels.Row(py) + to, colour);
  }
}

// Midpoint circle, the four octants at or above the centre row: from (cx + r, cy) over the
// top to (cx - r, cy).
void ImageCanvas::DrawUpperHalfCircle(int cx, int cy, int r, Colour pen) {
  if (r < 0 || image_.isNull()) return;
  const Pixels pixels = Writable();
  const QRgb colour = ToRgb(pen);
  const int64_t width = image_.width();
  const int64_t height = image_.height();
  auto plot = [&](int64_t px, int64_t py) {
    if (px >= 0 && py >= 0 && px < width && py < height) pixels.Row(py)[px] = colour;
  };
  MarkDirty(ClippedRect(int64_t{cx} - r, int64_t{cy} - r, int64_t{cx} + r + 1, int64_t{cy} + 1,
                        width, height));
  int x = r;
  int y = 0;
  int decision = 1 - r;
  while (y <= x) {
    plot(int64_t{cx} + x, int64_t{cy} - y);
    plot(int64_t{cx} - x, int64_t{cy} - y);
    plot(int64_t{cx} + y, int64_t{cy} - x);
    plot(int64_t{cx} - y, int64_t{cy} - x);
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

// bits() gives this picture its own pixels first, should a copy of the image share them.
ImageCanvas::Pixels ImageCanvas::Writable() {
  return {reinterpret_cast<QRgb*>(image_.bits()), image_.bytesPerLine() / 4};
}
