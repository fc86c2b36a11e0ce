// Glyphs from the browser: canvas 2D text in the bundled faces, its alpha kept as coverage.
#include "frontend/web/web_glyphs.h"

#include <emscripten.h>

#include <vector>

namespace {

constexpr int kMargin = 32;    // room for ink beyond the advance on either side
constexpr int kBaseline = 48;  // room for the tallest ascent above the baseline
constexpr int kScratchHeight = 80;

// JavaScript, which the formatter would take for C++.
// clang-format off
// The page's scratch canvas and the two faces' CSS font strings live in volarinPage, the
// faces in FontId's order.
EM_JS(int, GlyphAdvance, (int font, int code), { return volarinPage.glyphAdvance(font, code); });

EM_JS(void, GlyphCoverage,
      (int font, int code, int width, int height, int penX, int baseline, uint8_t* out), {
        volarinPage.glyphCoverage(font, code, width, height, penX, baseline,
                                  HEAPU8.subarray(out, out + width * height));
      });

EM_JS(void, FaceMetricsOf, (int font, int* out), {
  const m = volarinPage.faceMetrics(font);
  HEAP32.set([ m.lineAscent, m.lineDescent, m.typoAscender, m.typoDescender, m.unitsPerEm ],
             out >> 2);
});
// clang-format on

class WebGlyphSource : public GlyphSource {
 protected:
  // Canvas text is always antialiased; the shared threshold turns it into one-colour ink.
  Glyph Render(FontId font, char32_t code) override {
    Glyph glyph;
    glyph.advance = GlyphAdvance(static_cast<int>(font), static_cast<int>(code));
    const int width = glyph.advance + 2 * kMargin;
    std::vector<uint8_t> coverage(static_cast<size_t>(width) * kScratchHeight);
    GlyphCoverage(static_cast<int>(font), static_cast<int>(code), width, kScratchHeight, kMargin,
                  kBaseline, coverage.data());
    glyph.ink = InkOfCoverage(coverage.data(), width, kScratchHeight, kMargin, kBaseline);
    return glyph;
  }

  TextBox MeasureBox(FontId font) override {
    int m[5] = {};
    FaceMetricsOf(static_cast<int>(font), m);
    return TextBoxOfFace({m[0], m[1], m[2], m[3], m[4]});
  }
};

}  // namespace

GlyphSource& WebGlyphs() {
  static WebGlyphSource source;
  return source;
}
