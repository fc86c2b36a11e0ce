// Choosing the installed faces that stand in for the game's fonts, and their text boxes.
#include "frontend/qt/game_fonts.h"

#include <QFontMetrics>
#include <QRawFont>
#include <QStringList>
#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kCharacterHeight = 24;
constexpr int kStatusBand = 32;

const char kTextFace[] = "Century";
const char kKanaFace[] = "ＭＳ 明朝";

// The faces are asked for by their own names; fontconfig then finds the stand-ins. Without
// these, "Century" would resolve to a sans-serif face.
void InstallSubstitutionsOnce() {
  static const bool installed = [] {
    QFont::insertSubstitutions(QString::fromUtf8(kTextFace),
                               {"C059", "TeX Gyre Schola", "Century Schoolbook L"});
    QFont::insertSubstitutions(QString::fromUtf8(kKanaFace),
                               {"IPAMincho", "IPAexMincho", "Noto Serif CJK JP"});
    return true;
  }();
  (void)installed;
}

int16_t ReadS16(const QByteArray& table, int offset) {
  return static_cast<int16_t>(
      qFromBigEndian<quint16>(reinterpret_cast<const uchar*>(table.constData()) + offset));
}

int Scaled(double units, double unitsPerEm) {
  return static_cast<int>(std::lround(units * kCharacterHeight / unitsPerEm));
}

// The character height plus the face's internal leading, from its typographic ascender and
// descender, with the baseline where those put it. Falls back to the line box cut down to
// the character height when the face has no such table.
TextBox TypographicBox(const QFont& font, const QFontMetrics& metrics) {
  const QRawFont raw = QRawFont::fromFont(font);
  const QByteArray os2 = raw.fontTable("OS/2");
  const double unitsPerEm = raw.unitsPerEm();
  if (os2.size() >= 72 && unitsPerEm > 0) {
    const int ascender = ReadS16(os2, 68);
    const int descender = -ReadS16(os2, 70);
    const int leading = std::max(0, Scaled(ascender + descender - unitsPerEm, unitsPerEm));
    const int descent = std::clamp(Scaled(descender, unitsPerEm), 0, kCharacterHeight / 2);
    const int height = std::min(kCharacterHeight + leading, kStatusBand);
    return {height - descent, descent};
  }
  const int lineBox = metrics.ascent() + metrics.descent();
  const int descent = metrics.descent() * kCharacterHeight / lineBox;
  return {kCharacterHeight - descent, descent};
}

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

// The status texts stand on the band's bottom edge and must not reach into the field. Faces
// whose line box is taller than the band (C059 reports 37 pixels, its ascent covering
// accented capitals) get the box the original face had: the character height plus the
// face's internal leading.
TextBox TextBoxOf(const QFont& font) {
  const QFontMetrics metrics(font);
  if (metrics.ascent() + metrics.descent() <= kStatusBand) {
    return {metrics.ascent(), metrics.descent()};
  }
  return TypographicBox(font, metrics);
}
