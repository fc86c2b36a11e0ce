// Drawing into 32-bit pixels: sheet copies with the three raster operations, fills, text and arcs.
#include "render/pixel_canvas.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>

#include "render/text_codes.h"

namespace {

constexpr uint32_t kOpaque = 0xFF000000;

int ClampSide(int side) {
  return std::clamp(side, 0, PixelCanvas::kMaxSide);
}

// Source AND NOT pattern on the colour values, which turns yellow on a green pattern into red.
inline void CopyRow(uint32_t* to, const uint32_t* from, int count, RasterOp op, uint32_t pattern) {
  switch (op) {
    case RasterOp::kSourceCopy:
      std::memcpy(to, from, sizeof(uint32_t) * static_cast<size_t>(count));
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
void CopyRowsOf(Width width, uint32_t* to, int64_t toStride, const uint32_t* from,
                int64_t fromStride, int rows, RasterOp op, uint32_t pattern) {
  for (int row = 0; row < rows; ++row) {
    CopyRow(to + row * toStride, from ? from + row * fromStride : nullptr, width, op, pattern);
  }
}

void CopyRows(uint32_t* to, int64_t toStride, const uint32_t* from, int64_t fromStride, int count,
              int rows, RasterOp op, uint32_t pattern) {
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

// The rectangle from (left, top) to (right, bottom), edges excluded, cut to a picture. Worked
// out in 64 bits so that no position near the limits of int can wrap.
PixelRect ClippedRect(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t width,
                      int64_t height) {
  left = std::max<int64_t>(left, 0);
  top = std::max<int64_t>(top, 0);
  right = std::min(right, width);
  bottom = std::min(bottom, height);
  if (left >= right || top >= bottom) return {};
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
          static_cast<int>(bottom - top)};
}

PixelRect Union(const PixelRect& a, const PixelRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  const int left = std::min(a.left, b.left);
  const int top = std::min(a.top, b.top);
  const int right = std::max(a.left + a.width, b.left + b.width);
  const int bottom = std::max(a.top + a.height, b.top + b.height);
  return {left, top, right - left, bottom - top};
}

int TextLeft(int x, int align, int width) {
  if ((align & kAlignCenter) == kAlignCenter) return x - width / 2;
  if ((align & kAlignRight) == kAlignRight) return x - width;
  return x;
}

}  // namespace

std::vector<InkRun> InkOfCoverage(const uint8_t* coverage, int width, int height, int penX,
                                  int baseline) {
  std::vector<InkRun> ink;
  auto isInk = [&](int x, int y) { return coverage[int64_t{y} * width + x] >= 128; };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (!isInk(x, y)) continue;
      const int start = x;
      while (x < width && isInk(x, y)) ++x;
      ink.push_back({y - baseline, start - penX, x - start});
    }
  }
  return ink;
}

namespace {

// The glyph sources alive, so one reset reaches every cache.
std::vector<GlyphSource*>& LiveGlyphSources() {
  static std::vector<GlyphSource*> sources;
  return sources;
}

}  // namespace

GlyphSource::GlyphSource() {
  LiveGlyphSources().push_back(this);
}

GlyphSource::~GlyphSource() {
  std::erase(LiveGlyphSources(), this);
}

void ForgetRenderedGlyphs() {
  for (GlyphSource* source : LiveGlyphSources()) {
    for (GlyphSource::Face& face : source->faces_) face = GlyphSource::Face{};
  }
}

const Glyph& GlyphSource::GlyphOf(FontId font, char32_t code) {
  auto& glyphs = faces_[font == FontId::kKanaFont ? 1 : 0].glyphs;
  auto found = glyphs.find(code);
  if (found == glyphs.end()) found = glyphs.emplace(code, Render(font, code)).first;
  return found->second;
}

const TextBox& GlyphSource::BoxOf(FontId font) {
  Face& face = faces_[font == FontId::kKanaFont ? 1 : 0];
  if (!face.measured) {
    face.box = MeasureBox(font);
    face.measured = true;
  }
  return face.box;
}

PixelCanvas::PixelCanvas(int width, int height, PixelOrder order, GlyphSource& glyphs)
    : width_(ClampSide(width)),
      height_(ClampSide(height)),
      order_(order),
      glyphs_(glyphs),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), kOpaque) {}

void PixelCanvas::Resize(int width, int height) {
  const int newWidth = ClampSide(width);
  const int newHeight = ClampSide(height);
  std::vector<uint32_t> resized(static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight),
                                kOpaque);
  const int rows = std::min(newHeight, height_);
  const int columns = std::min(newWidth, width_);
  for (int y = 0; y < rows; ++y) {
    std::copy_n(Row(y), columns, resized.data() + int64_t{y} * newWidth);
  }
  pixels_ = std::move(resized);
  width_ = newWidth;
  height_ = newHeight;
  MarkDirty({0, 0, width_, height_});
}

PixelRect PixelCanvas::TakeDirtyArea() {
  PixelRect area;
  for (const PixelRect& rect : dirty_) area = Union(area, rect);
  dirty_.clear();
  return area;
}

std::vector<PixelRect> PixelCanvas::TakeDirtyRects() {
  return std::exchange(dirty_, {});
}

uint32_t PixelCanvas::PixelOf(Colour c) const {
  if (order_ == PixelOrder::kRgbaBytes) {
    return kOpaque | uint32_t{c.b} << 16 | uint32_t{c.g} << 8 | c.r;
  }
  return kOpaque | uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b;
}

Canvas* PixelCanvas::CreateSheet(int width, int height) {
  sheet_ = std::make_unique<PixelCanvas>(width, height, order_, glyphs_);
  return sheet_.get();
}

void PixelCanvas::DrawPixelRow(int x, int y, const Colour* colours, int count) {
  if (y < 0 || y >= height_) return;
  uint32_t* row = Row(y);
  for (int i = std::max(0, -x); i < count && x + i < width_; ++i) row[x + i] = PixelOf(colours[i]);
  MarkDirty(ClippedRect(x, y, int64_t{x} + count, int64_t{y} + 1, width_, height_));
}

void PixelCanvas::SelectFont(FontId font) {
  font_ = font;
}

// Both rectangles are cut so that every pixel read lies in the sheet and every pixel written
// lies in the picture; blackness reads nothing, so only the picture cuts it. The edges are
// worked out in 64 bits so that no position near the limits of int can wrap.
void PixelCanvas::CopyFromSheet(int x, int y, int width, int height, int sheetX, int sheetY,
                                RasterOp op, Colour pattern) {
  const bool readsSheet = op != RasterOp::kBlackness;
  if (readsSheet && !sheet_) return;
  int64_t skipX = std::max<int64_t>(0, -int64_t{x});
  int64_t skipY = std::max<int64_t>(0, -int64_t{y});
  int64_t right = std::min<int64_t>(int64_t{x} + width, width_);
  int64_t bottom = std::min<int64_t>(int64_t{y} + height, height_);
  const PixelCanvas* sheet = readsSheet ? sheet_.get() : nullptr;
  if (sheet != nullptr) {
    skipX = std::max<int64_t>(skipX, -int64_t{sheetX});
    skipY = std::max<int64_t>(skipY, -int64_t{sheetY});
    right = std::min<int64_t>(right, int64_t{x} + sheet->width_ - sheetX);
    bottom = std::min<int64_t>(bottom, int64_t{y} + sheet->height_ - sheetY);
  }
  const int64_t count = right - (x + skipX);
  const int64_t rows = bottom - (y + skipY);
  if (count <= 0 || rows <= 0) return;
  const uint32_t* from = nullptr;
  int64_t fromStride = 0;
  if (sheet != nullptr) {
    fromStride = sheet->width_;
    from = sheet->pixels_.data() + (sheetY + skipY) * fromStride + sheetX + skipX;
  }
  CopyRows(Row(y + skipY) + x + skipX, width_, from, fromStride, static_cast<int>(count),
           static_cast<int>(rows), op, PixelOf(pattern));
  MarkDirty({static_cast<int>(x + skipX), static_cast<int>(y + skipY), static_cast<int>(count),
             static_cast<int>(rows)});
}

void PixelCanvas::FillRectangle(int left, int top, int right, int bottom, Colour colour) {
  const PixelRect area = ClippedRect(left, top, right, bottom, width_, height_);
  if (area.Empty()) return;
  const uint32_t pixel = PixelOf(colour);
  for (int y = area.top; y < area.top + area.height; ++y) {
    std::fill_n(Row(y) + area.left, area.width, pixel);
  }
  MarkDirty(area);
}

// The box is as wide as the glyphs' advances and as tall as the font's text box; the glyphs are
// clipped to it, so a face with long strokes cannot reach beyond the box it paints. Glyphs
// stand side by side without kerning.
void PixelCanvas::DrawOpaqueText(int x, int y, int align, const char* text, int length,
                                 Colour foreground, Colour background) {
  if (length <= 0) return;
  std::vector<char32_t> codes(static_cast<size_t>(length));
  codes.resize(static_cast<size_t>(DecodeCp932(text, length, codes.data())));
  std::vector<const Glyph*> glyphs;
  int width = 0;
  for (char32_t code : codes) {
    glyphs.push_back(&glyphs_.GlyphOf(font_, code));
    width += glyphs.back()->advance;
  }
  const TextBox& box = glyphs_.BoxOf(font_);
  const int height = box.ascent + box.descent;
  const int left = TextLeft(x, align, width);
  const int top = (align & kAlignBottom) ? y - height : y;
  FillRectangle(left, top, left + width, top + height, background);
  const PixelRect clip =
      ClippedRect(left, top, int64_t{left} + width, int64_t{top} + height, width_, height_);
  if (clip.Empty()) return;
  int penX = left;
  for (const Glyph* glyph : glyphs) {
    DrawInk(glyph->ink, penX, top + box.ascent, clip, PixelOf(foreground));
    penX += glyph->advance;
  }
}

void PixelCanvas::DrawInk(const std::vector<InkRun>& ink, int penX, int baseline,
                          const PixelRect& clip, uint32_t colour) {
  const int clipRight = clip.left + clip.width;
  const int clipBottom = clip.top + clip.height;
  for (const InkRun& run : ink) {
    const int py = baseline + run.dy;
    if (py < clip.top || py >= clipBottom) continue;
    const int from = std::max(penX + run.dx, clip.left);
    const int to = std::min(penX + run.dx + run.length, clipRight);
    if (from < to) std::fill(Row(py) + from, Row(py) + to, colour);
  }
}

// Midpoint circle, the four octants at or above the centre row: from (cx + r, cy) over the
// top to (cx - r, cy).
void PixelCanvas::DrawUpperHalfCircle(int cx, int cy, int r, Colour pen) {
  if (r < 0 || width_ == 0 || height_ == 0) return;
  const uint32_t colour = PixelOf(pen);
  auto plot = [&](int64_t px, int64_t py) {
    if (px >= 0 && py >= 0 && px < width_ && py < height_) Row(py)[px] = colour;
  };
  MarkDirty(ClippedRect(int64_t{cx} - r, int64_t{cy} - r, int64_t{cx} + r + 1, int64_t{cy} + 1,
                        width_, height_));
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

void PixelCanvas::MarkDirty(const PixelRect& rect) {
  if (rect.Empty()) return;
  if (dirty_.size() == kMaxDirtyRects) dirty_.assign(1, TakeDirtyArea());
  dirty_.push_back(rect);
}
