// Making the sprite sheet: the embedded bitmap, then one glyph per character cell.
#include "render/sprite_sheet.h"

#include <cstdio>

#include "render/canvas.h"
#include "render/dib.h"
#include "resources/sprite_bitmap.h"

namespace {

// The full-width katakana of the 41 kana slots in slot order, as two-byte code page 932 codes,
// then a zero byte: a missile shows the full-width form of the half-width kana typed.
constexpr unsigned char kKanaGlyphTable[83] = {
    0x83, 0x41, 0x83, 0x43, 0x83, 0x45, 0x83, 0x47, 0x83, 0x49, 0x83, 0x4A, 0x83, 0x4C,
    0x83, 0x4E, 0x83, 0x50, 0x83, 0x52, 0x83, 0x54, 0x83, 0x56, 0x83, 0x58, 0x83, 0x5A,
    0x83, 0x5C, 0x83, 0x5E, 0x83, 0x60, 0x83, 0x63, 0x83, 0x65, 0x83, 0x67, 0x83, 0x69,
    0x83, 0x6A, 0x83, 0x6B, 0x83, 0x6C, 0x83, 0x6D, 0x83, 0x6E, 0x83, 0x71, 0x83, 0x74,
    0x83, 0x77, 0x83, 0x7A, 0x83, 0x7D, 0x83, 0x7E, 0x83, 0x80, 0x83, 0x81, 0x83, 0x82,
    0x83, 0x84, 0x83, 0x86, 0x83, 0x88, 0x83, 0x8F, 0x83, 0x92, 0x83, 0x93, 0x00};

// Bitmap 109 row by row through its own palette. A bitmap that does not read leaves the
// sheet black rather than stopping start-up.
void DrawSpriteBitmap() {
  FourBitDib dib;
  if (!ReadFourBitDib(kSpriteBitmap, kSpriteBitmapSize, &dib)) return;
  Colour row[kSheetSize];
  const int width = dib.width < kSheetSize ? dib.width : kSheetSize;
  for (int y = 0; y < dib.height && y < kSheetSize; ++y) {
    for (int x = 0; x < width; ++x) row[x] = dib.palette[DibIndexAt(dib, x, y)];
    sheetDC->DrawPixelRow(0, y, row, width);
  }
}

// The box's bottom edge on row 31 of the cell, centred on its column 16.
void DrawGlyph(int cell, const char* text, int length) {
  const int x = (cell % 16) * kCellSize + 16;
  const int y = (cell / 16) * kCellSize + 31;
  sheetDC->DrawOpaqueText(x, y, kAlignCenter | kAlignBottom, text, length, kYellow, kBlack);
}

}  // namespace

void CreateSpriteSheet() {
  sheetDC = windowDC == nullptr ? nullptr : windowDC->CreateSheet(kSheetSize, kSheetSize);
  if (sheetDC != nullptr) DrawSpriteBitmap();
}

void RenderGlyphCells(const char* alphabet, const ClassRange (&ranges)[kClassCount]) {
  if (sheetDC == nullptr) return;
  sheetDC->SelectFont(FontId::kTextFont);
  char glyph[2];
  for (int32_t s = ranges[Upper].first; s <= ranges[Symbol].last; ++s) {
    std::snprintf(glyph, sizeof glyph, "%c", alphabet[s]);
    DrawGlyph(s + kGlyphCellOffset, glyph, 1);
  }
  sheetDC->SelectFont(FontId::kKanaFont);
  int cell = ranges[Kana].first + kGlyphCellOffset;
  for (const unsigned char* code = kKanaGlyphTable; code[0] != 0; code += 2, ++cell) {
    const char pair[3] = {static_cast<char>(code[0]), static_cast<char>(code[1]), 0};
    DrawGlyph(cell, pair, 2);
  }
}
