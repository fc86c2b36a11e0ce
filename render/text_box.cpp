// The character box of a face: its line box when that fits the status band, else its em box.
#include "render/text_box.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCharacterHeight = 24;

int Scaled(double units, double unitsPerEm) {
  return static_cast<int>(std::lround(units * kCharacterHeight / unitsPerEm));
}

}  // namespace

// The character height plus the face's internal leading, from its typographic ascender and
// descender, with the baseline where those put it. Without such a table, the line box cut down
// to the character height.
TextBox TextBoxOfFace(const FaceMetrics& face) {
  const int lineBox = face.lineAscent + face.lineDescent;
  if (lineBox <= kStatusBandHeight) return {face.lineAscent, face.lineDescent};
  if (face.unitsPerEm > 0) {
    const double unitsPerEm = face.unitsPerEm;
    const int ascender = face.typoAscender;
    const int descender = -face.typoDescender;
    const int leading = std::max(0, Scaled(ascender + descender - unitsPerEm, unitsPerEm));
    const int descent = std::clamp(Scaled(descender, unitsPerEm), 0, kCharacterHeight / 2);
    const int height = std::min(kCharacterHeight + leading, kStatusBandHeight);
    return {height - descent, descent};
  }
  const int descent = face.lineDescent * kCharacterHeight / lineBox;
  return {kCharacterHeight - descent, descent};
}
