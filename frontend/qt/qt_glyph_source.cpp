// Rendering a glyph with Qt's font engine into a scratch image and keeping its ink.
#include "frontend/qt/qt_glyph_source.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <vector>

#include "frontend/qt/game_fonts.h"

namespace {

constexpr int kMargin = 32;    // room for ink beyond the advance on either side
constexpr int kBaseline = 48;  // room for the tallest ascent above the baseline
constexpr int kScratchHeight = 80;
// A face without a bold weight is thickened by one pixel for every eight of its size: at 24
// pixels its strokes then weigh about what the bold Latin face's do.
constexpr int kPixelsPerBoldPixel = 8;

bool HasBoldWeight(const QString& family) {
  for (const QString& style : QFontDatabase::styles(family)) {
    if (QFontDatabase::weight(family, style) >= QFont::Bold) return true;
  }
  return false;
}

// How many pixels to thicken the strokes by when bold is asked of a face that has no bold
// weight (the Mincho face has none). The face is then drawn at its own weight: the font
// engine's emboldening is faint, and its strength would depend on the engine's version.
int TakeSyntheticBold(QFont& qfont) {
  if (qfont.weight() < QFont::Bold || HasBoldWeight(QFontInfo(qfont).family())) return 0;
  qfont.setWeight(QFont::Normal);
  return std::max(1, qfont.pixelSize() / kPixelsPerBoldPixel);
}

// Overstrikes the ink `strength` times, one pixel further right each time: every run grows
// to the right, and runs that then touch become one.
void Overstrike(std::vector<InkRun>& ink, int strength) {
  std::vector<InkRun> merged;
  for (InkRun run : ink) {
    run.length += strength;
    InkRun* last = merged.empty() ? nullptr : &merged.back();
    if (last != nullptr && last->dy == run.dy && last->dx + last->length >= run.dx) {
      last->length = std::max(last->length, run.dx + run.length - last->dx);
    } else {
      merged.push_back(run);
    }
  }
  ink = std::move(merged);
}

class QtGlyphSource : public GlyphSource {
 protected:
  // Drawn white on black, so the grey level is the coverage.
  Glyph Render(FontId font, char32_t code) override {
    QFont qfont = GameFont(font);
    const int boldStrength = TakeSyntheticBold(qfont);
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
    if (boldStrength > 0) {
      Overstrike(glyph.ink, boldStrength);
      glyph.advance += boldStrength;
    }
    return glyph;
  }

  TextBox MeasureBox(FontId font) override { return TextBoxOf(GameFont(font)); }
};

}  // namespace

GlyphSource& QtGlyphs() {
  static QtGlyphSource source;
  return source;
}
