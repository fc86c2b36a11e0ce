// Glyphs for the game's picture and cards: each drawn once by GDI, white on black, into a
// small DIB section, and its ink read back.
#include "frontend/win32/gdi_glyphs.h"

#include <windows.h>

#include <string>
#include <vector>

#include "render/text_box.h"

namespace {

// Room for any 24-pixel glyph with its overhang; the pen stands well inside.
constexpr int kScratchSide = 64;
constexpr int kPenX = 16;
constexpr int kBaseline = 44;
constexpr int kCharacterHeight = 24;

// Both faces bold at a character height of 24 pixels and without antialiasing, so glyph ink
// is exactly the text colour.
HFONT CreateGameFont(FontId font) {
  const bool kana = font == FontId::kKanaFont;
  return CreateFontW(-kCharacterHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                     kana ? SHIFTJIS_CHARSET : ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_ROMAN,
                     kana ? L"ＭＳ 明朝" : L"Century");
}

class GdiGlyphSource : public GlyphSource {
 public:
  GdiGlyphSource() : dc_(CreateCompatibleDC(nullptr)) {
    const BITMAPINFO info = TopDownPixels(kScratchSide, kScratchSide);
    void* bits = nullptr;
    SelectObject(dc_, CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<const uint32_t*>(bits);
    fonts_[0] = CreateGameFont(FontId::kTextFont);
    fonts_[1] = CreateGameFont(FontId::kKanaFont);
  }

 protected:
  Glyph Render(FontId font, char32_t code) override {
    // A character outside the basic plane as its two UTF-16 units.
    const char32_t beyond = code - 0x10000;
    const std::wstring text = code < 0x10000
                                  ? std::wstring(1, static_cast<wchar_t>(code))
                                  : std::wstring{static_cast<wchar_t>(0xD800 + (beyond >> 10)),
                                                 static_cast<wchar_t>(0xDC00 + (beyond & 0x3FF))};
    const RECT all{0, 0, kScratchSide, kScratchSide};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    UseFont(font);
    SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
    SetTextColor(dc_, RGB(255, 255, 255));
    SetBkMode(dc_, TRANSPARENT);
    TextOutW(dc_, kPenX, kBaseline, text.data(), static_cast<int>(text.size()));
    SIZE extent{};
    GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &extent);
    GdiFlush();
    if (bits_ == nullptr) return {static_cast<int>(extent.cx), {}};
    std::vector<uint8_t> coverage(kScratchSide * kScratchSide);
    for (size_t i = 0; i < coverage.size(); ++i) coverage[i] = bits_[i] & 0xFF;
    return {static_cast<int>(extent.cx),
            InkOfCoverage(coverage.data(), kScratchSide, kScratchSide, kPenX, kBaseline)};
  }

  TextBox MeasureBox(FontId font) override {
    UseFont(font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc_, &metrics);
    return TextBoxOfFace({.lineAscent = static_cast<int>(metrics.tmAscent),
                          .lineDescent = static_cast<int>(metrics.tmDescent)});
  }

 private:
  void UseFont(FontId font) { SelectObject(dc_, fonts_[font == FontId::kKanaFont]); }

  // The DC, its bitmap and the fonts live as long as the program.
  HDC dc_;
  const uint32_t* bits_ = nullptr;
  HFONT fonts_[2] = {};
};

}  // namespace

BITMAPINFO TopDownPixels(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

GlyphSource& GdiGlyphs() {
  static GdiGlyphSource glyphs;
  return glyphs;
}
