// The game's canvas over a plain buffer of 32-bit pixels, with glyphs from a front end's fonts.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "render/canvas.h"
#include "render/text_box.h"

// A horizontal run of ink pixels, relative to the pen on the baseline.
struct InkRun {
  int dy;
  int dx;
  int length;
};

struct Glyph {
  int advance = 0;          // how far the pen moves after the glyph
  std::vector<InkRun> ink;  // the glyph's pixels, row by row
};

// The ink of a rendered glyph: `coverage` is width x height bytes, row by row, 0 for none and
// 255 for full; a pixel at least half covered is ink, so antialiased text still gives
// one-colour glyphs. The pen stood at (penX, baseline) in that scratch picture.
std::vector<InkRun> InkOfCoverage(const uint8_t* coverage, int width, int height, int penX,
                                  int baseline);

// Where a front end's fonts come from. Each glyph is rendered once and then drawn by copying
// its ink: the status bar is redrawn after every hit, and rendering the same few texts through
// a font engine each time would cost more than the whole tick.
class GlyphSource {
 public:
  GlyphSource();
  virtual ~GlyphSource();
  GlyphSource(const GlyphSource&) = delete;
  GlyphSource& operator=(const GlyphSource&) = delete;
  const Glyph& GlyphOf(FontId font, char32_t code);
  const TextBox& BoxOf(FontId font);

 protected:
  // `code` in `font`, bold, 24 pixels, its ink relative to the pen on the baseline.
  virtual Glyph Render(FontId font, char32_t code) = 0;
  // The character box of `font`, which must fit the 32-pixel status band.
  virtual TextBox MeasureBox(FontId font) = 0;

 private:
  struct Face {
    std::unordered_map<char32_t, Glyph> glyphs;
    bool measured = false;
    TextBox box{0, 0};
  };
  Face faces_[2];
  friend void ForgetRenderedGlyphs();
};

// Every glyph source forgets what it has rendered and measured; each renders anew on demand.
// Part of resetting the platform handles.
void ForgetRenderedGlyphs();

// A rectangle of pixels; empty when either side is 0.
struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool Empty() const { return width <= 0 || height <= 0; }
  bool operator==(const PixelRect&) const = default;
};

// How a colour sits in a 32-bit pixel: as 0xAARRGGBB (a desktop image's native order) or as
// the bytes R, G, B, A in memory (a browser's image data, on a little-endian machine).
enum class PixelOrder { kArgb, kRgbaBytes };

class PixelCanvas : public Canvas {
 public:
  // Pictures larger than this on a side are cut to it; the game still sees the size asked
  // for and whatever falls outside is clipped, as it would be beyond the window's edge.
  static constexpr int kMaxSide = 8192;

  // A black picture (each side held to 0..kMaxSide). `glyphs` must outlive the canvas.
  PixelCanvas(int width, int height, PixelOrder order, GlyphSource& glyphs);

  // A new size; the part of the old picture that still fits stays, the rest is black.
  void Resize(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  // Row after row, `width()` pixels each, with full alpha.
  const uint32_t* pixels() const { return pixels_.data(); }
  const PixelCanvas* sheet() const { return sheet_.get(); }

  // What was drawn since the last call, so a window need show only that: as one bounding
  // rectangle, or as the drawn rectangles themselves (they may overlap). Missiles spread over
  // the whole field; a display that takes several rectangles at once is spared the black
  // between them. Either call forgets what was drawn.
  PixelRect TakeDirtyArea();
  std::vector<PixelRect> TakeDirtyRects();

  // A colour as this canvas stores it.
  uint32_t PixelOf(Colour colour) const;

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
  uint32_t* Row(int64_t y) { return pixels_.data() + y * width_; }
  void DrawInk(const std::vector<InkRun>& ink, int penX, int baseline, const PixelRect& clip,
               uint32_t colour);
  void MarkDirty(const PixelRect& rect);

  int width_;
  int height_;
  PixelOrder order_;
  GlyphSource& glyphs_;
  std::vector<uint32_t> pixels_;
  // Beyond this many, the drawn rectangles become their bounding rectangle, so a picture that
  // is never shown keeps a short list.
  static constexpr size_t kMaxDirtyRects = 256;
  std::vector<PixelRect> dirty_;
  std::unique_ptr<PixelCanvas> sheet_;
  FontId font_ = FontId::kTextFont;
};
