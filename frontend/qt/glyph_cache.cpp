// Rendering each glyph once: the status bar is redrawn after every hit, and shaping the same
// few texts through the font engine each time would cost more than the whole tick.
#include "frontend/qt/glyph_cache.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <optional>
#include <unordered_map>

namespace {

constexpr int kMargin = 32;    // room for ink beyond the advance on either side
constexpr int kBaseline = 48;  // room for the tallest ascent above the baseline
constexpr int kScratchHeight = 80;

struct FontGlyphs {
  std::unordered_map<char32_t, Glyph> glyphs;
  std::optional<TextBox> box;
};

FontGlyphs& GlyphsOf(FontId font) {
  static FontGlyphs fonts[2];
  return fonts[font == FontId::kKanaFont ? 1 : 0];
}

// Drawn white on black; anything closer to white than to black is ink, so a face that ignores
// the request for no antialiasing still gives clean one-colour glyphs.
bool IsInk(const QImage& image, int x, int y) {
  return qGray(image.pixel(x, y)) >= 128;
}

Glyph RenderGlyph(FontId font, char32_t code) {
  const QFont qfont = GameFont(font);
  const QString text = QString::fromUcs4(&code, 1);
  Glyph glyph;
  glyph.advance = QFontMetrics(qfont).horizontalAdvance(text);
  QImage scratch(glyph.advance + 2 * kMargin, kScratchHeight, QImage::Format_RGB32);
  scratch.fill(Qt::black);
  QPainter painter(&scratch);
  painter.setFont(qfont);
  painter.setPen(Qt::white);
  painter.drawText(QPoint(kMargin, kBaseline), text);
  painter.end();
  for (int y = 0; y < scratch.height(); ++y) {
    for (int x = 0; x < scratch.width(); ++x) {
      if (!IsInk(scratch, x, y)) continue;
      const int start = x;
      while (x < scratch.width() && IsInk(scratch, x, y)) ++x;
      glyph.ink.push_back({y - kBaseline, start - kMargin, x - start});
    }
  }
  return glyph;
}

}  // namespace

const Glyph& CachedGlyph(FontId font, char32_t code) {
  auto& glyphs = GlyphsOf(font).glyphs;
  auto found = glyphs.find(code);
  if (found == glyphs.end()) found = glyphs.emplace(code, RenderGlyph(font, code)).first;
  return found->second;
}

const TextBox& CachedTextBox(FontId font) {
  std::optional<TextBox>& box = GlyphsOf(font).box;
  if (!box) box = TextBoxOf(GameFont(font));
  return *box;
}
