// The Qt canvas: the installed faces that stand in for the game's fonts and their text boxes,
// each glyph rendered by Qt's font engine into a scratch image and its ink kept, and the pixel
// canvas seen as a QImage with what of it the window must show anew.
#include "frontend/qt/image_canvas.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QRawFont>
#include <QString>
#include <QStringList>
#include <QtEndian>
#include <algorithm>
#include <vector>

namespace {

constexpr int kCharacterHeight = 24;

const char kTextFace[] = "Century";
const char kKanaFace[] = "ＭＳ 明朝";

// The faces are asked for by their own names; fontconfig then finds the stand-ins. Without
// these, "Century" would resolve to a sans-serif face.
void InstallSubstitutionsOnce() {
  [[maybe_unused]] static const bool installed = [] {
    QFont::insertSubstitutions(QString::fromUtf8(kTextFace),
                               {"C059", "TeX Gyre Schola", "Century Schoolbook L"});
    QFont::insertSubstitutions(QString::fromUtf8(kKanaFace),
                               {"IPAMincho", "IPAexMincho", "Noto Serif CJK JP"});
    return true;
  }();
}

int16_t ReadS16(const QByteArray& table, int offset) {
  return static_cast<int16_t>(
      qFromBigEndian<quint16>(reinterpret_cast<const uchar*>(table.constData()) + offset));
}

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

QFont GameFont(FontId font) {
  InstallSubstitutionsOnce();
  QFont qfont(QString::fromUtf8(font == FontId::kKanaFont ? kKanaFace : kTextFace));
  qfont.setPixelSize(kCharacterHeight);
  qfont.setWeight(QFont::Bold);
  // With no stand-in installed, any serif face rather than the default sans-serif.
  qfont.setStyleHint(QFont::Serif, QFont::NoAntialias);
  return qfont;
}

// The line box from Qt's metrics, the typographic ascender and descender from the face's OS/2
// table when it has one.
TextBox TextBoxOf(const QFont& font) {
  const QFontMetrics metrics(font);
  FaceMetrics face{metrics.ascent(), metrics.descent()};
  const QRawFont raw = QRawFont::fromFont(font);
  const QByteArray os2 = raw.fontTable("OS/2");
  if (os2.size() >= 72 && raw.unitsPerEm() > 0) {
    face.typoAscender = ReadS16(os2, 68);
    face.typoDescender = ReadS16(os2, 70);
    face.unitsPerEm = static_cast<int>(raw.unitsPerEm());
  }
  return TextBoxOfFace(face);
}

GlyphSource& QtGlyphs() {
  static QtGlyphSource source;
  return source;
}

ImageCanvas::ImageCanvas(int width, int height)
    : PixelCanvas(width, height, PixelOrder::kArgb, QtGlyphs()) {}

QRegion ImageCanvas::TakeDirtyRegion() {
  QRegion region;
  for (const PixelRect& rect : TakeDirtyRects()) {
    region += QRect(rect.left, rect.top, rect.width, rect.height);
  }
  return region;
}

// Format_RGB32 is the canvas's 0xAARRGGBB order on any machine.
QImage ImageOf(const PixelCanvas& canvas) {
  if (canvas.width() == 0 || canvas.height() == 0) return {};
  return QImage(reinterpret_cast<const uchar*>(canvas.pixels()), canvas.width(), canvas.height(),
                canvas.width() * 4, QImage::Format_RGB32);
}
