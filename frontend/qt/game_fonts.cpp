// Choosing the installed faces that stand in for the game's fonts, and their text boxes.
#include "frontend/qt/game_fonts.h"

#include <QFontMetrics>
#include <QRawFont>
#include <QStringList>
#include <QtEndian>

namespace {

constexpr int kCharacterHeight = 24;

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
