// Rendering a glyph with Qt's font engine into a scratch image and keeping its ink.
#include "frontend/qt/qt_glyph_source.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <vector>

#include "frontend/qt/game_fonts.h"

namespace {

constexpr int kMargin = 32;    // room for ink beyond the advance on either side
constexpr int kBaseline = 48;  // room for the tallest ascent above the baseline
constexpr int kScratchHeight = 80;

class QtGlyphSource : public GlyphSource {
 protected:
  // Drawn white on black, so the grey level is the coverage.
  Glyph Render(FontId font, char32_t code) override {
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
    std::vector<uint8_t> coverage;
    coverage.reserve(static_cast<size_t>(scratch.width()) * kScratchHeight);
    for (int y = 0; y < scratch.height(); ++y) {
      for (int x = 0; x < scratch.width(); ++x) {
        coverage.push_back(static_cast<uint8_t>(qGray(scratch.pixel(x, y))));
      }
    }
    glyph.ink =
        InkOfCoverage(coverage.data(), scratch.width(), scratch.height(), kMargin, kBaseline);
    return glyph;
  }

  TextBox MeasureBox(FontId font) override { return TextBoxOf(GameFont(font)); }
};

}  // namespace

GlyphSource& QtGlyphs() {
  static QtGlyphSource source;
  return source;
}
