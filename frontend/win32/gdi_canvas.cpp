// Drawing with GDI itself: BitBlt with the game's three raster operations, FillRect, TextOutA
// in code page 932 and Arc, all into a memory DC the window is painted from.
#include "frontend/win32/gdi_canvas.h"

#include <algorithm>
#include <cstring>

namespace {

// Source AND NOT pattern: the operation that turns yellow sprites red with a green brush.
constexpr DWORD kSourceAndNotPattern = 0x000C0324;
constexpr int kCharacterHeight = 24;

COLORREF ToColorRef(Colour c) {
  return RGB(c.r, c.g, c.b);
}

int ClampSide(int side) {
  return std::clamp(side, 0, GdiCanvas::kMaxSide);
}

DWORD RopOf(RasterOp op) {
  switch (op) {
    case RasterOp::kBlackness:
      return BLACKNESS;
    case RasterOp::kSourceAndNotPattern:
      return kSourceAndNotPattern;
    case RasterOp::kSourceCopy:
      break;
  }
  return SRCCOPY;
}

// Both faces bold at a character height of 24 pixels and without antialiasing, so glyph ink
// is exactly the text colour. The kana face is asked for in Shift-JIS, so TextOutA reads its
// bytes as code page 932 whatever the system's own code page is.
HFONT CreateGameFont(FontId font) {
  const bool kana = font == FontId::kKanaFont;
  return CreateFontW(-kCharacterHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                     kana ? SHIFTJIS_CHARSET : ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_ROMAN,
                     kana ? L"ＭＳ 明朝" : L"Century");
}

}  // namespace

// Made once and kept for the whole run, like every font the game uses.
HFONT GameFont(FontId font) {
  static const HFONT text = CreateGameFont(FontId::kTextFont);
  static const HFONT kana = CreateGameFont(FontId::kKanaFont);
  return font == FontId::kKanaFont ? kana : text;
}

GdiCanvas::GdiCanvas(int width, int height) {
  dc_ = CreateCompatibleDC(nullptr);
  MakeBitmap(width, height);
  SetBkMode(dc_, OPAQUE);
}

GdiCanvas::~GdiCanvas() {
  sheet_.reset();
  SelectObject(dc_, originalBitmap_);
  SelectObject(dc_, GetStockObject(BLACK_PEN));
  SelectObject(dc_, GetStockObject(BLACK_BRUSH));
  SelectObject(dc_, GetStockObject(SYSTEM_FONT));
  DeleteDC(dc_);
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  for (auto& [colour, brush] : brushes_) DeleteObject(brush);
  for (auto& [colour, pen] : pens_) DeleteObject(pen);
}

// A top-down 32-bit DIB section: its pixels are addressable rows, and GDI draws into it
// exactly. A side of 0 still gets a 1-pixel bitmap so the DC always has one selected.
void GdiCanvas::MakeBitmap(int width, int height) {
  width_ = ClampSide(width);
  height_ = ClampSide(height);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = std::max(width_, 1);
  info.bmiHeader.biHeight = -std::max(height_, 1);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) {
    width_ = height_ = 0;
    bits_ = nullptr;
    return;
  }
  std::memset(bits, 0, size_t{4} * std::max(width_, 1) * std::max(height_, 1));
  HGDIOBJ previous = SelectObject(dc_, bitmap);
  if (originalBitmap_ == nullptr) originalBitmap_ = previous;
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  bitmap_ = bitmap;
  bits_ = static_cast<uint32_t*>(bits);
}

void GdiCanvas::Resize(int width, int height) {
  const int oldWidth = width_;
  const int oldHeight = height_;
  HDC oldDc = CreateCompatibleDC(dc_);
  HBITMAP oldBitmap = bitmap_;
  bitmap_ = nullptr;
  SelectObject(dc_, originalBitmap_);
  HGDIOBJ held = SelectObject(oldDc, oldBitmap);
  MakeBitmap(width, height);
  BitBlt(dc_, 0, 0, std::min(oldWidth, width_), std::min(oldHeight, height_), oldDc, 0, 0, SRCCOPY);
  SelectObject(oldDc, held);
  DeleteDC(oldDc);
  DeleteObject(oldBitmap);
  dirty_ = RECT{};
  MarkDirty(0, 0, width_, height_);
}

// Worked out in 64 bits, so that no position near the limits of int can wrap.
void GdiCanvas::MarkDirty(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  left = std::max<int64_t>(left, 0);
  top = std::max<int64_t>(top, 0);
  right = std::min<int64_t>(right, width_);
  bottom = std::min<int64_t>(bottom, height_);
  if (left >= right || top >= bottom) return;
  const RECT area{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                  static_cast<LONG>(bottom)};
  if (IsRectEmpty(&dirty_)) {
    dirty_ = area;
  } else {
    UnionRect(&dirty_, &dirty_, &area);
  }
}

RECT GdiCanvas::TakeDirtyRect() {
  const RECT taken = dirty_;
  dirty_ = RECT{};
  return taken;
}

HBRUSH GdiCanvas::BrushOf(Colour colour) {
  HBRUSH& brush = brushes_[ToColorRef(colour)];
  if (brush == nullptr) brush = CreateSolidBrush(ToColorRef(colour));
  return brush;
}

HPEN GdiCanvas::PenOf(Colour colour) {
  HPEN& pen = pens_[ToColorRef(colour)];
  if (pen == nullptr) pen = CreatePen(PS_SOLID, 1, ToColorRef(colour));
  return pen;
}

Canvas* GdiCanvas::CreateSheet(int width, int height) {
  sheet_ = std::make_unique<GdiCanvas>(width, height);
  return sheet_.get();
}

void GdiCanvas::DrawPixelRow(int x, int y, const Colour* colours, int count) {
  if (y < 0 || y >= height_ || bits_ == nullptr) return;
  GdiFlush();
  uint32_t* row = bits_ + static_cast<size_t>(y) * width_;
  for (int i = std::max(0, -x); i < count && x + i < width_; ++i) {
    row[x + i] = uint32_t{colours[i].r} << 16 | uint32_t{colours[i].g} << 8 | colours[i].b;
  }
  MarkDirty(x, y, int64_t{x} + count, y + 1);
}

void GdiCanvas::SelectFont(FontId font) {
  font_ = font;
}

void GdiCanvas::CopyFromSheet(int x, int y, int width, int height, int sheetX, int sheetY,
                              RasterOp op, Colour pattern) {
  const bool readsSheet = op != RasterOp::kBlackness;
  if (readsSheet && !sheet_) return;
  if (op == RasterOp::kSourceAndNotPattern) SelectObject(dc_, BrushOf(pattern));
  BitBlt(dc_, x, y, width, height, readsSheet ? sheet_->dc_ : nullptr, sheetX, sheetY, RopOf(op));
  MarkDirty(x, y, int64_t{x} + width, int64_t{y} + height);
}

void GdiCanvas::FillRectangle(int left, int top, int right, int bottom, Colour colour) {
  const RECT area{left, top, right, bottom};
  FillRect(dc_, &area, BrushOf(colour));
  MarkDirty(left, top, right, bottom);
}

// The game's alignment flags are GDI's own TA_ values.
void GdiCanvas::DrawOpaqueText(int x, int y, int align, const char* text, int length,
                               Colour foreground, Colour background) {
  if (length <= 0) return;
  SelectObject(dc_, GameFont(font_));
  SetTextAlign(dc_, static_cast<UINT>(align));
  SetTextColor(dc_, ToColorRef(foreground));
  SetBkColor(dc_, ToColorRef(background));
  SIZE extent{};
  GetTextExtentPoint32A(dc_, text, length, &extent);
  TextOutA(dc_, x, y, text, length);
  int64_t left = x;
  if ((align & kAlignCenter) == kAlignCenter) {
    left = int64_t{x} - extent.cx / 2 - 1;
  } else if ((align & kAlignRight) == kAlignRight) {
    left = int64_t{x} - extent.cx;
  }
  const int64_t top = (align & kAlignBottom) != 0 ? int64_t{y} - extent.cy : y;
  // Overhanging strokes of a bold face may reach a few pixels past the advance width.
  MarkDirty(left - 4, top, left + extent.cx + 5, top + extent.cy);
}

// Counter-clockwise from the right end to the left end: the upper half, one pixel wide.
void GdiCanvas::DrawUpperHalfCircle(int cx, int cy, int r, Colour pen) {
  SelectObject(dc_, PenOf(pen));
  Arc(dc_, cx - r, cy - r, cx + r, cy + r, cx + r, cy, cx - r, cy);
  MarkDirty(int64_t{cx} - r - 1, int64_t{cy} - r - 1, int64_t{cx} + r + 2, int64_t{cy} + 2);
}
