// The character box text is drawn in, worked out from a face's metrics the same way everywhere.
#pragma once

// The blue band under the field the status texts stand in, in pixels: every font's text box
// must fit it.
constexpr int kStatusBandHeight = 32;

// The box of a line of text around its baseline, in pixels.
struct TextBox {
  int ascent;
  int descent;
};

// What a font engine reports about a face at the game's 24-pixel size.
struct FaceMetrics {
  int lineAscent;   // pixels above the baseline of the engine's line box
  int lineDescent;  // pixels below it
  // The face's typographic ascender and descender (OS/2 table, font units, the descender
  // negative below the baseline), or unitsPerEm 0 when the face has no such table.
  int typoAscender = 0;
  int typoDescender = 0;
  int unitsPerEm = 0;
};

// The status texts stand on the band's bottom edge and must not reach into the field. Faces
// whose line box is taller than the band (C059 reports 37 pixels, its ascent covering
// accented capitals) get the box the original face had: the character height plus the
// face's internal leading.
TextBox TextBoxOfFace(const FaceMetrics& face);
