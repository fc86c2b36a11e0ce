// The game's canvas through GDI: a DIB section in a memory DC, the window's back buffer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>

#include "render/canvas.h"

// The game's two faces, bold, 24 pixels, without antialiasing.
HFONT GameFont(FontId font);

class GdiCanvas : public Canvas {
 public:
  // Pictures larger than this on a side are cut to it; the game still sees the size it was
  // given and what falls outside is clipped, as beyond the window's edge.
  static constexpr int kMaxSide = 8192;

  // A black picture; each side is held to 0..kMaxSide.
  GdiCanvas(int width, int height);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  // A new size; the part of the old picture that still fits stays, the rest is black.
  void Resize(int width, int height);

  // The memory DC holding the picture, for painting it onto the window.
  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // The picture's rows, top first, 0x00RRGGBB; call GdiFlush before reading or writing them
  // after GDI drew.
  uint32_t* bits() { return bits_; }

  // The bounding rectangle of what was drawn since the last call (empty when nothing was).
  RECT TakeDirtyRect();

  Canvas* CreateSheet(int width, int height) override;
  void DrawPixelRow(int x, int y, const Colour* colours, int count) override;
  void SelectFont(FontId font) override;
  void CopyFromSheet(int x, int y, int width, int height, int sheetX, int sheetY, RasterOp op,
                     Colour pattern) override;
  void FillRectangle(int left, int top, int right, int bottom, Colour colour) override;
  void DrawOpaqueText(int x, int y, int align, const char* text, int length, Colour foreground,
                      Colour background) override;
  void DrawUpperHalfCircle(int cx, int cy, int r, Colour pen) override;

 private:
  void MakeBitmap(int width, int height);
  void MarkDirty(int64_t left, int64_t top, int64_t right, int64_t bottom);
  HBRUSH BrushOf(Colour colour);
  HPEN PenOf(Colour colour);

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ originalBitmap_ = nullptr;
  uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  RECT dirty_{};
  FontId font_ = FontId::kTextFont;
  std::unique_ptr<GdiCanvas> sheet_;
  std::map<COLORREF, HBRUSH> brushes_;
  std::map<COLORREF, HPEN> pens_;
};
