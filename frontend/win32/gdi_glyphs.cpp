// Glyphs for the shell's cards: each drawn once by GDI, white on black, into a small DIB
// section, and its ink read back.
#include "frontend/win32/gdi_glyphs.h"

#include <windows.h>

#include <string>
#include <vector>

#include "frontend/win32/gdi_canvas.h"
#include "render/text_box.h"

namespace {

// Room for any 24-pixel glyph with its overhang; the pen stands well inside.
constexpr int kScratchSide = 64;
constexpr int kPenX = 16;
constexpr int kBaseline = 44;

class GdiGlyphSource : public GlyphSource {
 public:
  GdiGlyphSource() : scratch_(kScratchSide, kScratchSide) {}

 protected:
  Glyph Render(FontId font, char32_t code) override {
    std::wstring text;
    if (code >= 0x10000) {
      text += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
      text += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      text += static_cast<wchar_t>(code);
    }
    HDC dc = scratch_.dc();
    scratch_.FillRectangle(0, 0, kScratchSide, kScratchSide, kBlack);
    SelectObject(dc, GameFont(font));
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, kPenX, kBaseline, text.data(), static_cast<int>(text.size()));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent);
    GdiFlush();
    std::vector<uint8_t> coverage(kScratchSide * kScratchSide);
    for (size_t i = 0; i < coverage.size(); ++i) coverage[i] = scratch_.bits()[i] & 0xFF;
    return {static_cast<int>(extent.cx),
            InkOfCoverage(coverage.data(), kScratchSide, kScratchSide, kPenX, kBaseline)};
  }

  TextBox MeasureBox(FontId font) override {
    HDC dc = scratch_.dc();
    SelectObject(dc, GameFont(font));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return TextBoxOfFace({.lineAscent = static_cast<int>(metrics.tmAscent),
                          .lineDescent = static_cast<int>(metrics.tmDescent)});
  }

 private:
  GdiCanvas scratch_;
};

}  // namespace

GlyphSource& GdiGlyphs() {
  static GdiGlyphSource glyphs;
  return glyphs;
}
